// End-to-end tests of `geosig fingerprint`.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

TEST(FingerprintCommand, EqualsTheOpensslPipeline) {
  const std::string peg = Sample("peg.stl"), brick = Sample("brick.obj");
  const CommandResult expected = RunCommand(
      "/bin/sh", {"-c",
                  "command -v openssl >/dev/null || exit 9; "
                  "for f; do printf '%s  %s\\n' \"$(openssl dgst -sha256 -binary \"$f\" | base64)\" \"$f\"; done",
                  "sh", peg, brick});
  if (expected.exitStatus == 9) GTEST_SKIP() << "openssl is not installed";
  const CommandResult result = RunCommand(geosig, {"fingerprint", peg, brick});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, expected.out);
}

TEST(FingerprintCommand, TwoBytesAreEnoughAndFilesWithoutFingerprintAreReportedBesideTheOthers) {
  TemporaryDirectory directory;
  const std::vector<std::pair<std::string, std::string>> bad = {{directory.Write("one", "a"), "fewer than 2 bytes"},
                                                                {directory.Path("missing"), "no such file"},
                                                                {directory.Path(""), "is a directory"}};
  std::vector<std::string> arguments = {"fingerprint", "--json"};
  for (const auto& entry : bad) arguments.push_back(entry.first);
  arguments.push_back(directory.Write("ab", "ab"));
  const CommandResult result = RunCommand(geosig, arguments);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 3) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["schema"], "geosig-fingerprint");
  ASSERT_EQ(report["files"].size(), 4u);
  for (std::size_t k = 0; k < bad.size(); ++k) {
    EXPECT_NE(result.err.find("geosig: " + bad[k].first + ": " + bad[k].second), std::string::npos) << result.err;
    EXPECT_EQ(report["files"][k]["error"].get<std::string>().rfind(bad[k].second, 0), 0u) << report["files"][k];
  }
  EXPECT_EQ(report["files"][3]["fingerprint"], "+44g/C5MPySMYMOb1lLzwTRymLuXe4tNWQO4UFViBgM=");
}

TEST(FingerprintCommand, AFifoIsRefusedWithoutWaitingForAWriter) {
  TemporaryDirectory directory;
  const std::string fifo = directory.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Bounded, so that a command waiting on the FIFO fails the test instead of hanging it.
  ExpectFileFailure(RunCommand("timeout", {"60", geosig, "fingerprint", fifo}), fifo, "not a regular file");
}

}  // namespace
