#include "SimilaritySearch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "NearestMatches.h"

SignatureSummary SignatureSummary::Of(std::int64_t iId, const ShapeSignature& iSignature) {
  SignatureSummary summary;
  summary.id = iId;
  summary.norm = iSignature.Norm();
  summary.global = iSignature.Terms();
  return summary;
}

SimilaritySearch::SimilaritySearch(const std::vector<SignatureSummary>& iParts, OccupancyLoader iLoader)
    : _loader(std::move(iLoader)) {
  _parts.reserve(iParts.size());
  for (const SignatureSummary& part : iParts) _parts.push_back({part.id, ShapeKey::Of(part.global, part.norm)});
}

std::vector<SignatureMatch> SimilaritySearch::Nearest(const ShapeSignature& iQuery, std::size_t iCount,
                                                      const SignatureMetric& iMetric, std::int64_t iExcluded,
                                                      MirrorPolicy iMirrors) const {
  const ShapeKey query = ShapeKey::Of(iQuery.Terms(), iQuery.Norm());
  struct Bounded {
    double bound;
    const Part* part;
  };
  // A heap of the parts, lowest bound on top: only as many as are measured are ever ordered.
  const auto higher = [](const Bounded& iA, const Bounded& iB) { return iA.bound > iB.bound; };
  std::vector<Bounded> bounded;
  bounded.reserve(_parts.size());
  for (const Part& part : _parts)
    if (part.id != iExcluded)
      bounded.push_back({iMetric.Combine(0.0, SignatureMetric::ShapeDistance(query, part.key),
                                         SignatureMetric::SizeDistance(query, part.key)),
                         &part});
  std::make_heap(bounded.begin(), bounded.end(), higher);

  const OccupancyPoses poses(iQuery.Occupancy());
  NearestMatches nearest(iCount);
  for (; !bounded.empty() && bounded.front().bound <= nearest.Limit(); bounded.pop_back()) {
    std::pop_heap(bounded.begin(), bounded.end(), higher);
    const Part& part = *bounded.back().part;
    const std::optional<DistanceParts> distance =
        iMetric.MeasureWithin(poses, query, part.key, CandidateOccupancy(_loader(part.id)), nearest.Limit());
    if (!distance || (distance->mirrored && iMirrors == MirrorPolicy::Exclude)) continue;
    nearest.Offer({part.id, *distance, SignatureMetric::Scale(query, part.key)});
  }
  return nearest.Take();
}
