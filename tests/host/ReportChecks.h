#pragma once
// What the end-to-end tests of the geosig commands share: the program, its samples, and
// checks of the JSON reports, error lines and files the commands write.
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "CommandRunner.h"

inline const std::string geosig = GEOSIG_TOOL;

std::string Sample(const std::string& iName);

// The bytes of a file; empty when it cannot be read.
std::string FileContents(const std::string& iPath);

// Runs `geosig iArguments... --json`, expects iExitStatus and the command's schema, and returns
// the first file's entry.
nlohmann::json FirstFileReport(std::vector<std::string> iArguments, int iExitStatus = 0);

// The command failed on iPath alone: status 1, nothing on standard output, and one error
// line "geosig: iPath: ..." holding iReason.
void ExpectFileFailure(const CommandResult& iResult, const std::string& iPath, const std::string& iReason);

// iActual is an array of three numbers, each within iTolerance of the expected one.
void ExpectTriple(const nlohmann::json& iActual, double iX, double iY, double iZ, double iTolerance);

// Both reports have the same members, and every number of one agrees with the other's within
// iTolerance relative to the larger of 1 and the two numbers; iWhere names the place in failure
// messages.
void ExpectSameNumbers(const nlohmann::json& iFirst, const nlohmann::json& iSecond, double iTolerance,
                       const std::string& iWhere);
