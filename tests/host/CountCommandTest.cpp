// End-to-end tests of `geosig count`: the counts and the budget verdict in the exit status.
#include <gtest/gtest.h>

#include "ReportChecks.h"

namespace {

using nlohmann::json;

json Count(const std::string& iSample, std::vector<std::string> iOptions, int iExitStatus) {
  iOptions.insert(iOptions.begin(), {"count", Sample(iSample)});
  return FirstFileReport(iOptions, iExitStatus);
}

TEST(CountCommand, BudgetIsExceededOnlyByMoreTrianglesThanItAllows) {
  const json peg = Count("peg.stl", {}, 0);
  EXPECT_EQ(peg["triangles"], json({{"count", 256}, {"budget", nullptr}, {"exceeded", false}}));
  EXPECT_EQ(peg["slowRepresentations"]["count"], 0);
  EXPECT_EQ(Count("peg.stl", {"--max-triangles", "256"}, 0)["triangles"],
            json({{"count", 256}, {"budget", 256}, {"exceeded", false}}));
  const json over = Count("peg.stl", {"--max-triangles", "255"}, 3);
  EXPECT_EQ(over["triangles"]["exceeded"], true);
  EXPECT_EQ(over["exceeded"], true);
  const CommandResult text = RunCommand(geosig, {"count", Sample("peg.stl"), "--max-triangles", "100"});
  EXPECT_EQ(text.exitStatus, 3);
  EXPECT_NE(text.out.find("at least 256, over the budget of 100"), std::string::npos) << text.out;

  const json blocks = Count("blocks.step", {"--max-triangles", "20", "--max-slow-reps", "1"}, 3);
  EXPECT_EQ(blocks["slowRepresentations"], json({{"count", 0}, {"budget", 1}, {"exceeded", false}}));
}

TEST(CountCommand, BadFileAndBadBudgetsAreRefused) {
  ExpectFileFailure(RunCommand(geosig, {"count", "/nonexistent/model.stl"}), "/nonexistent/model.stl", "no such file");
  for (const char* budget : {"0", "-5", "many", "3000000000"})
    EXPECT_EQ(RunCommand(geosig, {"count", Sample("peg.stl"), "--max-triangles", budget}).exitStatus, 2) << budget;
}

}  // namespace
