#pragma once
// What the import harnesses share: the first byte of an input picks the file name extension,
// and so the reader, among iExtensions; the other bytes are the file. The import must either
// give a model or fail with an ImportError; anything else escapes to the fuzzer as a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void ImportAsFile(const std::vector<std::string>& iExtensions, const std::uint8_t* iData, std::size_t iSize);
