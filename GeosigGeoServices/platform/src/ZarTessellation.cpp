#include "ZarTessellation.h"

#include <cmath>
#include <cstdint>

static std::string CheckRuns(const char* iKind, const std::vector<unsigned int>& iCounts,
                             const std::vector<unsigned int>& iIndices, unsigned int iSmallestRun) {
  std::uint64_t total = 0;
  for (unsigned int count : iCounts) {
    if (count != 0 && count < iSmallestRun) return std::string(iKind) + " of " + std::to_string(count) + " vertices";
    total += count;
  }
  if (total != iIndices.size())
    return std::string(iKind) + " counts add up to " + std::to_string(total) + " but " +
           std::to_string(iIndices.size()) + " indices are given";
  return {};
}

std::string ZarTessellation::Check() const {
  if (vertices.size() % 3 != 0) return "vertex array length is not a multiple of 3";
  // Indices travel as int float positions: three times the vertex number must fit.
  if (vertices.size() > static_cast<std::size_t>(INT32_MAX)) return "too many vertices";
  for (float coordinate : vertices)
    if (!std::isfinite(coordinate)) return "non-finite vertex coordinate";
  if (triangles.size() % 3 != 0) return "triangle index count is not a multiple of 3";
  if (std::string reason = CheckRuns("strip", stripCounts, strips, 2); !reason.empty()) return reason;
  if (std::string reason = CheckRuns("fan", fanCounts, fans, 2); !reason.empty()) return reason;
  const std::size_t vertexCount = VertexCount();
  for (const std::vector<unsigned int>* indices : {&triangles, &strips, &fans})
    for (unsigned int index : *indices)
      if (index >= vertexCount)
        return "index " + std::to_string(index) + " out of range (" + std::to_string(vertexCount) + " vertices)";
  return {};
}
