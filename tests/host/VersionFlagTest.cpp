// `geosig --version`: the library's version, then those of the readers it was linked with.
#include <gtest/gtest.h>

#include <Standard_Version.hxx>

#include "ReportChecks.h"

namespace {

TEST(VersionFlag, NamesTheLibraryThenTheMeshAndCadReadersAndNeedsNoCommand) {
  const CommandResult result = RunCommand(geosig, {"--version"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out.rfind("geosig " GEOSIG_VERSION "\nAssimp ", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("\nOpenCASCADE " OCC_VERSION_COMPLETE "\n"), std::string::npos) << result.out;
  EXPECT_TRUE(result.err.empty()) << result.err;
}

}  // namespace
