// geosig: shape descriptors of mesh and CAD files.
#include <CLI/CLI.hpp>

#include "DescribeCommand.h"

int main(int argc, char** argv) {
  CLI::App app("Shape descriptors of mesh and CAD files.", "geosig");
  app.require_subcommand(1);
  const DescribeCommand describe(app);
  CLI11_PARSE(app, argc, argv);
  return describe.Run();
}
