#include "CatalogSearch.h"

#include <iomanip>
#include <iostream>
#include <sstream>

#include "FileRecord.h"

CatalogSearch::CatalogSearch(const std::string& iDatabase, ResidentCatalog::Loading iLoading)
    : _resident(iDatabase, iLoading) {
  if (const std::string note = _resident.Note(); !note.empty())
    std::cerr << "geosig: " << iDatabase << ": " << note << '\n';
}

Report CatalogSearch::MatchReport(const SignatureMatch& iMatch) const {
  const DistanceParts& distance = iMatch.distance;
  Report match = FileRecord(PathOf(iMatch.id));
  match["distance"] = {{"combined", distance.combined},
                       {"occupancy", distance.occupancy},
                       {"views", distance.views},
                       {"shape", distance.shape},
                       {"size", distance.size}};
  match["mirrored"] = distance.mirrored;
  match["scale"] = iMatch.scale;
  return match;
}

Report CatalogSearch::WeightsReport(const SignatureMetric& iMetric) {
  const DistanceWeights& weights = iMetric.Weights();
  return {{"occupancy", weights.occupancy}, {"views", weights.views}, {"shape", weights.shape}, {"size", weights.size}};
}

std::string CatalogSearch::DistanceText(const DistanceParts& iDistance) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(4) << iDistance.combined << "  (occupancy " << iDistance.occupancy
       << ", views " << iDistance.views << ", shape " << iDistance.shape << ", size " << iDistance.size << ")";
  return text.str();
}

std::string CatalogSearch::KindText(const SignatureMatch& iMatch) {
  std::ostringstream text;
  text << "scale " << std::setprecision(4) << iMatch.scale << (iMatch.distance.mirrored ? "  mirrored" : "");
  return text.str();
}
