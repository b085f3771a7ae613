#pragma once
// Reads back what a viewer page embeds, for the tests of the page writer and of `geosig view`.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

// The page's data element, parsed; throws when the page has none.
nlohmann::json ViewerPageData(const std::string& iHtml);

// The floats, 32-bit or 16-bit integers of a base64 member, little-endian as the page lays them out.
std::vector<float> DecodedFloats(const nlohmann::json& iBase64);
std::vector<unsigned int> DecodedIndices(const nlohmann::json& iBase64);
std::vector<std::uint16_t> DecodedCells(const nlohmann::json& iBase64);
