#include "SimilaritySearch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "NearestMatches.h"

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
                                                      const SignatureMetric& iMetric, std::int64_t iExcluded,
                                                      MirrorPolicy iMirrors) const {
  const ShapeKey query = ShapeKey::Of(iQuery.Terms(), iQuery.Norm());
  std::vector<CoarseCells> coarsePoses;
  for (const VoxelGrid& pose : SignatureMetric::Mapped(iQuery.Occupancy().Pooled(SignatureSummary::CoarseDepth)))
    coarsePoses.push_back(CellsOf<CoarseCells>(pose));

  struct Candidate {
    double score;
    const Part* part;
  };
  std::vector<Candidate> candidates;
  candidates.reserve(_parts.size());
  for (const Part& part : _parts) {
    if (part.id == iExcluded) continue;
    // The coarse occupancy stands for both posed parts, occupancy and views.
    double occupancy = 1.0;
    for (const std::size_t pose : SignatureMetric::AllowedMaps(query, part.key))
      occupancy =
          std::min(occupancy, VoxelGrid::JaccardDistance(coarsePoses[pose].data(), part.coarse.data(), CoarseWords));
    candidates.push_back(
        {iMetric.Combine(iMetric.Posed(occupancy, occupancy), SignatureMetric::ShapeDistance(query, part.key),
                         SignatureMetric::SizeDistance(query, part.key)),
         &part});
  }
  const std::size_t shortlist = std::min(candidates.size(), std::max(ShortlistFloor, ShortlistPerMatch * iCount));
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(shortlist), candidates.end(),
                    [](const Candidate& iA, const Candidate& iB) { return iA.score < iB.score; });

  const std::vector<PosedOccupancy> poses = SignatureMetric::Poses(iQuery.Occupancy());
  NearestMatches nearest(iCount);
  for (std::size_t k = 0; k < shortlist; ++k) {
    const Part& part = *candidates[k].part;
    const std::optional<DistanceParts> distance =
        iMetric.MeasureWithin(poses, query, part.key, _loader(part.id), nearest.Limit());
    if (!distance || (distance->mirrored && iMirrors == MirrorPolicy::Exclude)) continue;
    nearest.Offer({part.id, *distance, SignatureMetric::Scale(query, part.key)});
  }
  return nearest.Take();
}
