#pragma once
// A catalog of machined parts as STEP files, for measuring how fast catalogs are read: plates
// with holes, flanged bushings, brackets, filleted blocks and assemblies of several of them,
// of sizes and hole counts that vary from file to file, so that reading times vary as they do
// in real catalogs. The same seed gives the same parts.
#include <cstdint>
#include <string>

// Writes iCount files named part-0000.step, part-0001.step, ... into iDirectory, which must
// exist. Throws std::runtime_error when a part cannot be built or written.
void WriteStepCatalog(const std::string& iDirectory, unsigned int iCount, std::uint32_t iSeed);
