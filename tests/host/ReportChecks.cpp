#include "ReportChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

std::string Sample(const std::string& iName) { return std::string(GEOSIG_SAMPLES_DIR) + "/" + iName; }

std::string FileContents(const std::string& iPath) {
  std::ifstream file(iPath, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

nlohmann::json FirstFileReport(std::vector<std::string> iArguments, int iExitStatus) {
  iArguments.push_back("--json");
  const CommandResult result = RunCommand(geosig, iArguments);
  EXPECT_EQ(result.exitStatus, iExitStatus) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["schema"], "geosig-" + iArguments[0]);
  // Describe's records carry undefined descriptors with their reasons since version 2.
  EXPECT_EQ(report["version"], iArguments[0] == "describe" ? 2 : 1);
  return report["files"][0];
}

void ExpectFileFailure(const CommandResult& iResult, const std::string& iPath, const std::string& iReason) {
  EXPECT_EQ(iResult.exitStatus, 1);
  EXPECT_EQ(iResult.out, "");
  const std::string prefix = "geosig: " + iPath + ": ";
  EXPECT_EQ(iResult.err.rfind(prefix, 0), 0u) << iResult.err;
  EXPECT_NE(iResult.err.find(iReason, prefix.size()), std::string::npos) << iResult.err;
  EXPECT_EQ(std::count(iResult.err.begin(), iResult.err.end(), '\n'), 1) << iResult.err;
}

void ExpectTriple(const nlohmann::json& iActual, double iX, double iY, double iZ, double iTolerance) {
  ASSERT_TRUE(iActual.is_array() && iActual.size() == 3) << iActual;
  EXPECT_NEAR(iActual[0].get<double>(), iX, iTolerance);
  EXPECT_NEAR(iActual[1].get<double>(), iY, iTolerance);
  EXPECT_NEAR(iActual[2].get<double>(), iZ, iTolerance);
}

void ExpectSameNumbers(const nlohmann::json& iFirst, const nlohmann::json& iSecond, double iTolerance,
                       const std::string& iWhere) {
  const nlohmann::json first = iFirst.flatten(), second = iSecond.flatten();
  EXPECT_EQ(first.size(), second.size()) << iWhere;
  for (const auto& [where, value] : first.items()) {
    ASSERT_TRUE(second.contains(where)) << iWhere << where;
    if (!value.is_number() || !second[where].is_number()) {
      EXPECT_EQ(value, second[where]) << iWhere << where;
      continue;
    }
    const double a = value.get<double>(), b = second[where].get<double>();
    EXPECT_NEAR(a, b, iTolerance * std::max({1.0, std::fabs(a), std::fabs(b)})) << iWhere << where;
  }
}
