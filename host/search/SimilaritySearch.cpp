#include "SimilaritySearch.h"

#include <algorithm>
#include <utility>

namespace {

template <class Cells>
Cells CellsOf(const VoxelGrid& iGrid) {
  Cells cells;
  std::copy(iGrid.Words().begin(), iGrid.Words().end(), cells.begin());
  return cells;
}

}  // namespace

SignatureSummary SignatureSummary::Of(std::int64_t iId, const ShapeSignature& iSignature) {
  SignatureSummary summary;
  summary.id = iId;
  summary.norm = iSignature.Norm();
  summary.global = iSignature.Terms();
  summary.coarse = iSignature.Occupancy().Pooled(CoarseDepth);
  return summary;
}

SimilaritySearch::SimilaritySearch(const std::vector<SignatureSummary>& iParts, OccupancyLoader iLoader)
    : _loader(std::move(iLoader)) {
  _parts.reserve(iParts.size());
  for (const SignatureSummary& part : iParts)
    _parts.push_back({part.id, ShapeKey::Of(part.global, part.norm), CellsOf<CoarseCells>(part.coarse)});
}

std::vector<SignatureMatch> SimilaritySearch::Nearest(const ShapeSignature& iQuery, std::size_t iCount,
                                                      const SignatureMetric& iMetric, std::int64_t iExcluded) const {
  const ShapeKey query = ShapeKey::Of(iQuery.Terms(), iQuery.Norm());
  std::vector<CoarseCells> coarseTurns;
  for (const VoxelGrid& turn : SignatureMetric::Turns(iQuery.Occupancy().Pooled(SignatureSummary::CoarseDepth)))
    coarseTurns.push_back(CellsOf<CoarseCells>(turn));

  struct Candidate {
    double score;
    const Part* part;
  };
  std::vector<Candidate> candidates;
  candidates.reserve(_parts.size());
  for (const Part& part : _parts) {
    if (part.id == iExcluded) continue;
    double occupancy = 1.0;
    for (const std::size_t turn : SignatureMetric::AllowedTurns(query, part.key))
      occupancy =
          std::min(occupancy, VoxelGrid::JaccardDistance(coarseTurns[turn].data(), part.coarse.data(), CoarseWords));
    candidates.push_back({iMetric.Combine(occupancy, SignatureMetric::ShapeDistance(query, part.key),
                                          SignatureMetric::SizeDistance(query, part.key)),
                          &part});
  }
  const std::size_t shortlist = std::min(candidates.size(), std::max(ShortlistFloor, ShortlistPerMatch * iCount));
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(shortlist), candidates.end(),
                    [](const Candidate& iA, const Candidate& iB) { return iA.score < iB.score; });

  const std::vector<VoxelGrid> fineTurns = SignatureMetric::Turns(iQuery.Occupancy().Dilated());
  std::vector<SignatureMatch> matches;
  for (std::size_t k = 0; k < shortlist; ++k) {
    const Part& part = *candidates[k].part;
    matches.push_back({part.id, iMetric.Measure(fineTurns, query, part.key, _loader(part.id).Dilated())});
  }
  std::sort(matches.begin(), matches.end(), [](const SignatureMatch& iA, const SignatureMatch& iB) {
    return iA.distance.combined != iB.distance.combined ? iA.distance.combined < iB.distance.combined : iA.id < iB.id;
  });
  if (matches.size() > iCount) matches.resize(iCount);
  return matches;
}
