// geosig: shape descriptors of mesh and CAD files.
#include <assimp/version.h>
#include <CLI/CLI.hpp>
#include <Standard_Version.hxx>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "CommandSet.h"
#include "ExitStatus.h"

namespace {

// A word before "--" that starts with '-' is read as an option, even when it names a file:
// tell the user how to name such a file when the command line was refused.
void ExplainDashedFileNames(int iArgc, char** iArgv) {
  for (int k = 1; k < iArgc && std::string(iArgv[k]) != "--"; ++k) {
    std::error_code error;
    if (iArgv[k][0] == '-' && std::filesystem::exists(iArgv[k], error))
      std::cerr << "geosig: '" << iArgv[k] << "' was read as an option; name files that start with '-' after '--'\n";
  }
}

}  // namespace

// The library's version and those of the readers linked in.
static std::string Versions() {
  std::ostringstream text;
  text << "geosig " << GEOSIG_VERSION << "\nAssimp " << aiGetVersionMajor() << '.' << aiGetVersionMinor() << '.'
       << aiGetVersionPatch();
  // The commit a build of Assimp came from, when it was built from a repository.
  if (const unsigned int revision = aiGetVersionRevision())
    text << " (revision " << std::hex << revision << std::dec << ')';
  text << "\nOpenCASCADE " << OCC_VERSION_COMPLETE;
  return text.str();
}

int main(int argc, char** argv) {
  CLI::App app("Shape descriptors of mesh and CAD files.", "geosig");
  app.set_version_flag("--version", Versions);
  const CommandSet commands(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help was asked for (status 0) or the command line is wrong; CLI11 explains which.
    if (app.exit(error) == 0) return ExitStatus::Success;
    ExplainDashedFileNames(argc, argv);
    return ExitStatus::Usage;
  }
  return commands.Run(app);
}
