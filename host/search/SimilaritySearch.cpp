#include "SimilaritySearch.h"

#include <algorithm>
#include <utility>


SignatureSummary SignatureSummary::Of(std::int64_t iId, const ShapeSignature& iSignature) {
  SignatureSummary summary;
  summary.id = iId;
  summary.norm = iSignature.Norm();
  summary.global = iSignature.Terms();
  summary.coarse = iSignature.Occupancy().Pooled(SignatureSummaryDepth());
  return summary;
}

SimilaritySearch::SimilaritySearch(std::vector<SignatureSummary> iParts, OccupancyLoader iLoader)
    : _parts(std::move(iParts)), _loader(std::move(iLoader)) {}

std::vector<SignatureMatch> SimilaritySearch::Nearest(const ShapeSignature& iQuery, std::size_t iCount,
                                                      const SignatureMetric& iMetric, std::int64_t iExcluded) const {
  const std::vector<VoxelGrid> coarseTurns =
      SignatureMetric::Turns(iQuery.Occupancy().Pooled(SignatureSummary::SignatureSummaryDepth()));
  struct Candidate {
    double score;
    const SignatureSummary* part;
  };
  std::vector<Candidate> candidates;
  candidates.reserve(_parts.size());
  for (const SignatureSummary& part : _parts)
    if (part.id != iExcluded)
      candidates.push_back(
          {iMetric.Measure(coarseTurns, iQuery.Terms(), iQuery.Norm(), part.global, part.norm, part.coarse).combined,
           &part});
  const std::size_t shortlist = std::min(candidates.size(), std::max(ShortlistFloor, ShortlistPerMatch * iCount));
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(shortlist), candidates.end(),
                    [](const Candidate& iA, const Candidate& iB) { return iA.score < iB.score; });

  const std::vector<VoxelGrid> fineTurns = SignatureMetric::Turns(iQuery.Occupancy().Dilated());
  std::vector<SignatureMatch> matches;
  for (std::size_t k = 0; k < shortlist; ++k) {
    const SignatureSummary& part = *candidates[k].part;
    matches.push_back({part.id, iMetric.Measure(fineTurns, iQuery.Terms(), iQuery.Norm(), part.global, part.norm,
                                                _loader(part.id).Dilated())});
  }
  std::sort(matches.begin(), matches.end(), [](const SignatureMatch& iA, const SignatureMatch& iB) {
    return iA.distance.combined != iB.distance.combined ? iA.distance.combined < iB.distance.combined : iA.id < iB.id;
  });
  if (matches.size() > iCount) matches.resize(iCount);
  return matches;
}
