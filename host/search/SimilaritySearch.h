#pragma once
// The k signatures of a catalog nearest to a query, in two passes: every part is scored with
// its occupancy pooled to depth 3 (64 bytes, kept in memory with its global terms), then the
// best of them (a shortlist of ShortlistPerMatch * k, at least ShortlistFloor) are ranked by
// the full distance, their occupancies loaded on demand. The time of the first pass grows
// linearly with the catalog, the second is fixed by k.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "ShapeSignature.h"
#include "SignatureMetric.h"

// What the first pass needs of an indexed part.
struct SignatureSummary {
  static constexpr unsigned int CoarseDepth = 3;

  std::int64_t id = 0;
  float norm = 0.0f;
  ShapeSignature::Global global{};
  VoxelGrid coarse{CoarseDepth};

  static SignatureSummary Of(std::int64_t iId, const ShapeSignature& iSignature);
};

struct SignatureMatch {
  std::int64_t id = 0;
  DistanceParts distance;
  double scale = 1.0;  // how many times larger the match is than the query
};

class SimilaritySearch {
 public:
  static constexpr std::size_t ShortlistFloor = 200;
  static constexpr std::size_t ShortlistPerMatch = 20;

  // The full occupancy of a part; throws what the store throws.
  using OccupancyLoader = std::function<VoxelGrid(std::int64_t iId)>;

  SimilaritySearch(const std::vector<SignatureSummary>& iParts, OccupancyLoader iLoader);

  std::size_t Size() const { return _parts.size(); }
  // Nearest first, ties by id; the part iExcluded (a query taken from the catalog) is left out,
  // and so are mirror images when iMirrors says so.
  std::vector<SignatureMatch> Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                      std::int64_t iExcluded = -1, MirrorPolicy iMirrors = MirrorPolicy::Flag) const;

 private:
  static constexpr std::size_t CoarseWords = 8;  // 8^3 cells
  using CoarseCells = std::array<std::uint64_t, CoarseWords>;

  struct Part {
    std::int64_t id;
    ShapeKey key;
    CoarseCells coarse;
  };

  std::vector<Part> _parts;
  OccupancyLoader _loader;
};
