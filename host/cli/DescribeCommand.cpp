#include "DescribeCommand.h"

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>

#include "DescriptorSections.h"
#include "ImportError.h"
#include "ModelImporter.h"
#include "TextReport.h"

namespace {

// Shows which file is being read when a batch runs on a terminal; erased before any output.
class Progress {
 public:
  explicit Progress(std::size_t iTotal) : _total(iTotal), _shown(iTotal > 1 && isatty(STDERR_FILENO)) {}
  void Show(std::size_t iIndex, const std::string& iPath) const {
    if (_shown) std::cerr << "\r\033[K[" << iIndex + 1 << '/' << _total << "] " << iPath << std::flush;
  }
  void Erase() const {
    if (_shown) std::cerr << "\r\033[K" << std::flush;
  }

 private:
  std::size_t _total;
  bool _shown;
};

// CLI11's own check reports its range up to the largest double, digit by digit.
const CLI::Validator positiveNumber(
    [](std::string& ioText) {
      char* end = nullptr;
      const double value = std::strtod(ioText.c_str(), &end);
      const bool positive = end != ioText.c_str() && *end == '\0' && value > 0 && std::isfinite(value);
      return positive ? std::string() : "must be a positive number, not " + ioText;
    },
    "POSITIVE");

}  // namespace

DescribeCommand::DescribeCommand(CLI::App& ioApp)
    : _command(ioApp.add_subcommand("describe", "Report the shape descriptors of mesh and CAD files")) {
  _command
      ->add_option("files", _files,
                   "Mesh files (STL, OBJ, PLY, glTF/GLB, OFF, 3MF, COLLADA, FBX, ...) "
                   "or CAD files (STEP, IGES, BREP)")
      ->required();
  _command->add_flag("--json", _json, "Write one JSON document (schema in docs/geosig-json.md)");
  CLI::Option* relative = _command
                              ->add_option("--relative-deflection", _options.relativeDeflection,
                                           "CAD tessellation: largest distance between a face and its triangles, "
                                           "as a fraction of the model's bounding-box diagonal")
                              ->check(positiveNumber)
                              ->capture_default_str();
  _command
      ->add_option("--deflection", _options.absoluteDeflection,
                   "CAD tessellation: the same distance in model units, instead of the relative one")
      ->check(positiveNumber)
      ->excludes(relative);
  _command
      ->add_option("--angular-deflection", _options.angularDeflection,
                   "CAD tessellation: largest angle in radians between the normals along one triangle edge")
      ->check(positiveNumber)
      ->capture_default_str();
}

Report DescribeCommand::DescribeFile(const std::string& iPath) const {
  const ImportedModel model = ModelImporter(_options).Import(iPath);
  Report report = {{"file", iPath}, {"format", model.format}};
  if (!model.warnings.empty()) report["warnings"] = model.warnings;
  report["descriptors"] = DescribeTree(*model.root);
  return report;
}

int DescribeCommand::Run() const {
  Report files = Report::array();
  int status = 0;
  std::size_t described = 0;
  const Progress progress(_files.size());
  for (std::size_t k = 0; k < _files.size(); ++k) {
    const std::string& path = _files[k];
    progress.Show(k, path);
    Report report;
    std::optional<std::string> error;
    try {
      report = DescribeFile(path);
    } catch (const ImportError& failure) {
      error = failure.Reason();
    } catch (const std::bad_alloc&) {
      error = "out of memory";
    } catch (const std::exception& failure) {
      error = failure.what();
    }
    progress.Erase();
    if (error) {
      std::cerr << "geosig: " << path << ": " << *error << '\n';
      status = 1;
      if (_json) files.push_back({{"file", path}, {"error", *error}});
      continue;
    }
    if (_json) {
      files.push_back(std::move(report));
    } else {
      if (described++ > 0) std::cout << '\n';
      WriteTextReport(std::cout, report);
    }
  }
  if (_json) std::cout << Report{{"schema", "geosig-describe"}, {"version", 1}, {"files", files}}.dump(2) << '\n';
  return status;
}
