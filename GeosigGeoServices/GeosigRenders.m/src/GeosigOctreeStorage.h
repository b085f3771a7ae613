#pragma once
// The sizes of the octree's storage forms, shared by the octree that allocates them and the
// walk that measures them: a node holds eight 32-bit links, a node set eight mask bytes.
#include <cstdint>

namespace GeosigOctreeStorage {
constexpr std::uint32_t _NodeBytes = 32;
constexpr std::uint32_t _NodeSetBytes = 8;
}  // namespace GeosigOctreeStorage
