// End-to-end tests of `geosig count`: the counts and the budget verdict in the exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CommandRunner.h"

namespace {

using nlohmann::json;

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

struct Counted {
  int exitStatus;
  json file;  // the file's entry of the JSON report
};

Counted Count(const std::string& iSample, std::vector<std::string> iOptions = {}) {
  iOptions.insert(iOptions.begin(), {"count", "--json", samples + "/" + iSample});
  const CommandResult result = RunCommand(geosig, iOptions);
  EXPECT_EQ(result.err, "");
  return {result.exitStatus, json::parse(result.out)["files"][0]};
}

TEST(CountCommand, CountsEveryTriangleWithoutABudget) {
  const Counted peg = Count("peg.stl");
  EXPECT_EQ(peg.exitStatus, 0);
  EXPECT_EQ(peg.file["triangles"], json({{"count", 256}, {"budget", nullptr}, {"exceeded", false}}));
  EXPECT_EQ(peg.file["slowRepresentations"]["count"], 0);
  EXPECT_EQ(peg.file["exceeded"], false);
  // Every face of every instance of the assembly's parts.
  EXPECT_EQ(Count("blocks.step").file["triangles"]["count"], 36);
}

TEST(CountCommand, BudgetIsExceededOnlyByMoreTrianglesThanItAllows) {
  const Counted equal = Count("peg.stl", {"--max-triangles", "256"});
  EXPECT_EQ(equal.exitStatus, 0);
  EXPECT_EQ(equal.file["triangles"], json({{"count", 256}, {"budget", 256}, {"exceeded", false}}));

  const Counted over = Count("peg.stl", {"--max-triangles", "255"});
  EXPECT_EQ(over.exitStatus, 3);
  EXPECT_EQ(over.file["triangles"]["exceeded"], true);
  EXPECT_EQ(over.file["exceeded"], true);
}

TEST(CountCommand, CountingStopsSoonAfterTheBudgetIsExceeded) {
  // The assembly's faces come one by one: past 20 triangles no further face is counted.
  const Counted blocks = Count("blocks.step", {"--max-triangles", "20", "--max-slow-reps", "1"});
  EXPECT_EQ(blocks.exitStatus, 3);
  const int counted = blocks.file["triangles"]["count"];
  EXPECT_GT(counted, 20);
  EXPECT_LT(counted, 36);
  EXPECT_EQ(blocks.file["slowRepresentations"], json({{"count", 0}, {"budget", 1}, {"exceeded", false}}));
}

TEST(CountCommand, TextReportSaysWhetherTheBudgetHolds) {
  const CommandResult over = RunCommand(geosig, {"count", samples + "/peg.stl", "--max-triangles", "100"});
  EXPECT_EQ(over.exitStatus, 3);
  EXPECT_NE(over.out.find("at least 256, over the budget of 100"), std::string::npos) << over.out;
  const CommandResult within = RunCommand(geosig, {"count", samples + "/peg.stl", "--max-triangles", "1000"});
  EXPECT_EQ(within.exitStatus, 0);
  EXPECT_NE(within.out.find("256, within the budget of 1000"), std::string::npos) << within.out;
}

TEST(CountCommand, BadFileAndBadBudgetsAreRefused) {
  const CommandResult missing = RunCommand(geosig, {"count", "/nonexistent/model.stl"});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "geosig: /nonexistent/model.stl: no such file\n");
  for (const char* budget : {"0", "-5", "many", "3000000000"}) {
    SCOPED_TRACE(budget);
    EXPECT_EQ(RunCommand(geosig, {"count", samples + "/peg.stl", "--max-triangles", budget}).exitStatus, 2);
  }
}

}  // namespace
