#include "ImportOptionFlags.h"

void AddImportOptions(CLI::App& ioCommand, ImportOptions& ioOptions) {
  CLI::Option* relative =
      ioCommand
          .add_option("--relative-deflection", ioOptions.relativeDeflection,
                      "CAD tessellation: largest distance between a face and its triangles, "
                      "as a fraction of the model's bounding-box diagonal")
          ->check(CLI::PositiveNumber)
          ->capture_default_str();
  ioCommand
      .add_option("--deflection", ioOptions.absoluteDeflection,
                  "CAD tessellation: the same distance in model units, instead of the relative one")
      ->check(CLI::PositiveNumber)
      ->excludes(relative);
  ioCommand
      .add_option("--angular-deflection", ioOptions.angularDeflection,
                  "CAD tessellation: largest angle in radians between the normals along one triangle edge")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
}
