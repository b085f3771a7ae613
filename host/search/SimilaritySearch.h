#pragma once
// The k signatures of a catalog nearest to a query, exactly: every part's global terms and
// size, kept in memory, bound its distance from below; parts are measured in full in the order
// of that bound, their occupancies loaded on demand, until it passes the k-th distance found.
// Ordering the parts is linear in the catalog; how many are measured depends on how well the
// bound separates them (near-identical families measure the most).
#include <cstdint>
#include <functional>
#include <vector>

#include "ShapeSignature.h"
#include "SignatureMetric.h"

// What the search keeps in memory of an indexed part.
struct SignatureSummary {
  std::int64_t id = 0;
  float norm = 0.0f;
  ShapeSignature::Global global{};

  static SignatureSummary Of(std::int64_t iId, const ShapeSignature& iSignature);
};

struct SignatureMatch {
  std::int64_t id = 0;
  DistanceParts distance;
  double scale = 1.0;  // how many times larger the match is than the query
};

class SimilaritySearch {
 public:
  // The full occupancy of a part; throws what the store throws.
  using OccupancyLoader = std::function<VoxelGrid(std::int64_t iId)>;

  SimilaritySearch(const std::vector<SignatureSummary>& iParts, OccupancyLoader iLoader);

  std::size_t Size() const { return _parts.size(); }
  // Nearest first, ties by id; the part iExcluded (a query taken from the catalog) is left out,
  // and so are mirror images when iMirrors says so.
  std::vector<SignatureMatch> Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                      std::int64_t iExcluded = -1, MirrorPolicy iMirrors = MirrorPolicy::Flag) const;

 private:
  struct Part {
    std::int64_t id;
    ShapeKey key;
  };

  std::vector<Part> _parts;
  OccupancyLoader _loader;
};
