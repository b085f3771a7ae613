#include "ReportChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

std::string FileContents(const std::string& iPath) {
  std::ifstream file(iPath, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void ExpectTriple(const nlohmann::json& iActual, double iX, double iY, double iZ, double iTolerance) {
  ASSERT_TRUE(iActual.is_array() && iActual.size() == 3) << iActual;
  EXPECT_NEAR(iActual[0].get<double>(), iX, iTolerance);
  EXPECT_NEAR(iActual[1].get<double>(), iY, iTolerance);
  EXPECT_NEAR(iActual[2].get<double>(), iZ, iTolerance);
}

void ExpectSameNumbers(const nlohmann::json& iFirst, const nlohmann::json& iSecond, double iTolerance,
                       const std::string& iWhere) {
  ASSERT_EQ(iFirst.is_null(), iSecond.is_null()) << iWhere;
  if (iFirst.is_number()) {
    ASSERT_TRUE(iSecond.is_number()) << iWhere;
    const double a = iFirst.get<double>(), b = iSecond.get<double>();
    EXPECT_NEAR(a, b, iTolerance * std::max({1.0, std::fabs(a), std::fabs(b)})) << iWhere;
  } else if (iFirst.is_object()) {
    for (const auto& member : iFirst.items()) {
      ASSERT_TRUE(iSecond.contains(member.key())) << iWhere << '/' << member.key();
      ExpectSameNumbers(member.value(), iSecond[member.key()], iTolerance, iWhere + '/' + member.key());
    }
  } else if (iFirst.is_array()) {
    ASSERT_EQ(iFirst.size(), iSecond.size()) << iWhere;
    for (std::size_t k = 0; k < iFirst.size(); ++k)
      ExpectSameNumbers(iFirst[k], iSecond[k], iTolerance, iWhere + '/' + std::to_string(k));
  } else {
    EXPECT_EQ(iFirst, iSecond) << iWhere;
  }
}
