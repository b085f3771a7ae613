#include "ImportOptionFlags.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

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

void AddImportOptions(CLI::App& ioCommand, ImportOptions& ioOptions) {
  CLI::Option* relative = ioCommand
                              .add_option("--relative-deflection", ioOptions.relativeDeflection,
                                          "CAD tessellation: largest distance between a face and its triangles, "
                                          "as a fraction of the model's bounding-box diagonal")
                              ->check(positiveNumber)
                              ->capture_default_str();
  ioCommand
      .add_option("--deflection", ioOptions.absoluteDeflection,
                  "CAD tessellation: the same distance in model units, instead of the relative one")
      ->check(positiveNumber)
      ->excludes(relative);
  ioCommand
      .add_option("--angular-deflection", ioOptions.angularDeflection,
                  "CAD tessellation: largest angle in radians between the normals along one triangle edge")
      ->check(positiveNumber)
      ->capture_default_str();
}

void AddWorkerLimitOptions(CLI::App& ioCommand, WorkerLimits& ioLimits) {
  ioCommand
      .add_option("--time-limit", ioLimits.seconds,
                  "Seconds a file may take to be read and described before it is given up as failed")
      ->check(positiveNumber)
      ->type_name("SECONDS")
      ->capture_default_str();
  ioCommand
      .add_option("--memory-limit", ioLimits.gibibytes,
                  "GiB of memory that reading and describing a file may take before it is given up as failed")
      ->check(positiveNumber)
      ->type_name("GIB")
      ->capture_default_str();
}
