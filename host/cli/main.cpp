// geosig: shape descriptors of mesh and CAD files.
#include <assimp/version.h>
#include <CLI/CLI.hpp>
#include <Standard_Version.hxx>

#include <sstream>
#include <string>

#include "BatchCommand.h"
#include "CountCommand.h"
#include "DescribeCommand.h"
#include "ExitStatus.h"
#include "FingerprintCommand.h"
#include "NearestCommand.h"
#include "ViewCommand.h"
#include "VoxelizeCommand.h"

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
  app.require_subcommand(1);
  const DescribeCommand describe(app);
  const CountCommand count(app);
  const NearestCommand nearest(app);
  const VoxelizeCommand voxelize(app);
  const FingerprintCommand fingerprint(app);
  const BatchCommand batch(app);
  const ViewCommand view(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help was asked for (status 0) or the command line is wrong; CLI11 explains which.
    return app.exit(error) == 0 ? ExitStatus::Success : ExitStatus::Usage;
  }
  if (app.got_subcommand("count")) return count.Run();
  if (app.got_subcommand("nearest")) return nearest.Run();
  if (app.got_subcommand("voxelize")) return voxelize.Run();
  if (app.got_subcommand("fingerprint")) return fingerprint.Run();
  if (app.got_subcommand("batch")) return batch.Run();
  if (app.got_subcommand("view")) return view.Run();
  return describe.Run();
}
