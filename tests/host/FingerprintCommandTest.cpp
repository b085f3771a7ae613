// End-to-end tests of `geosig fingerprint`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>

#include "CommandRunner.h"
#include "TemporaryDirectory.h"

namespace {

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

TEST(FingerprintCommand, TwoBytesAreEnoughAndGiveTheStandardDigest) {
  TemporaryDirectory directory;
  const std::string path = directory.Write("ab", "ab");
  const CommandResult result = RunCommand(geosig, {"fingerprint", path});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "+44g/C5MPySMYMOb1lLzwTRymLuXe4tNWQO4UFViBgM=  " + path + "\n");
}

TEST(FingerprintCommand, EqualsTheOpensslPipelineOnEverySample) {
  if (RunCommand("/bin/sh", {"-c", "command -v openssl && command -v base64"}).exitStatus != 0)
    GTEST_SKIP() << "openssl or base64 is not installed";
  for (const char* name : {"peg.stl", "peg.step", "blocks.glb", "brick.obj"}) {
    SCOPED_TRACE(name);
    const std::string path = samples + "/" + name;
    const CommandResult expected =
        RunCommand("/bin/sh", {"-c", "openssl dgst -sha256 -binary \"$0\" | base64", path});
    ASSERT_EQ(expected.exitStatus, 0) << expected.err;
    const CommandResult result = RunCommand(geosig, {"fingerprint", path});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, expected.out.substr(0, expected.out.size() - 1) + "  " + path + "\n");
  }
}

TEST(FingerprintCommand, FilesWithoutFingerprintAreReportedAndTheOthersStillPrinted) {
  TemporaryDirectory directory;
  const std::vector<std::pair<std::string, std::string>> bad = {
      {directory.Write("empty", ""), "fewer than 2 bytes"},
      {directory.Write("one", "a"), "fewer than 2 bytes"},
      {directory.Path("missing"), "no such file"},
      {directory.Path(""), "is a directory"},
  };
  std::vector<std::string> arguments = {"fingerprint", "--json"};
  for (const auto& entry : bad) arguments.push_back(entry.first);
  arguments.push_back(samples + "/peg.stl");
  const CommandResult result = RunCommand(geosig, arguments);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 4) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["schema"], "geosig-fingerprint");
  ASSERT_EQ(report["files"].size(), 5u);
  for (std::size_t k = 0; k < bad.size(); ++k) {
    const auto& [path, reason] = bad[k];
    EXPECT_NE(result.err.find("geosig: " + path + ": " + reason), std::string::npos) << result.err;
    EXPECT_EQ(report["files"][k]["file"], path);
    EXPECT_EQ(report["files"][k]["error"].get<std::string>().rfind(reason, 0), 0u) << report["files"][k];
  }
  EXPECT_EQ(report["files"][4]["fingerprint"].get<std::string>().size(), 44u);
}

}  // namespace
