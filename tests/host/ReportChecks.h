#pragma once
// Checks shared by the end-to-end tests of the geosig commands, which read JSON reports and
// files the commands write.
#include <nlohmann/json.hpp>

#include <string>

// The bytes of a file; empty when it cannot be read.
std::string FileContents(const std::string& iPath);

// iActual is an array of three numbers, each within iTolerance of the expected one.
void ExpectTriple(const nlohmann::json& iActual, double iX, double iY, double iZ, double iTolerance);

// Both reports have the same members, and every number of one agrees with the other's within
// iTolerance relative to the larger of 1 and the two numbers; iWhere names the place in failure
// messages.
void ExpectSameNumbers(const nlohmann::json& iFirst, const nlohmann::json& iSecond, double iTolerance,
                       const std::string& iWhere);
