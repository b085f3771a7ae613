#pragma once
// A catalog opened for searching: its signatures' summaries in memory, occupancies read on
// demand, and the reports of matches that query, neighbours and duplicates print.
#include <map>
#include <string>
#include <vector>

#include "ReportValues.h"
#include "SignatureCatalog.h"
#include "SimilaritySearch.h"

class CatalogSearch {
 public:
  // Throws CatalogError when the catalog cannot be read.
  explicit CatalogSearch(const std::string& iDatabase);

  const SignatureCatalog& Catalog() const { return _catalog; }
  const SimilaritySearch& Search() const { return _search; }
  const std::string& PathOf(std::int64_t iId) const;

  // {"file", "distance": {"combined", "occupancy", "views", "shape", "size"}, "mirrored", "scale"}
  Report MatchReport(const SignatureMatch& iMatch) const;
  static Report WeightsReport(const SignatureMetric& iMetric);
  // "0.1234  (occupancy 0.1000, views 0.0500, shape 0.0200, size 0.0034)": the combined distance and its parts,
  // as query prints.
  static std::string DistanceText(const DistanceParts& iDistance);
  // "scale 25.4  mirrored": what kind of match it is, as query prints.
  static std::string KindText(const SignatureMatch& iMatch);

 private:
  SignatureCatalog _catalog;
  SimilaritySearch _search;
  std::map<std::int64_t, std::string> _paths;
};
