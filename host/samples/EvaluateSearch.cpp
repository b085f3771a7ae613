// Measures shape retrieval on an indexed, labelled set (the label of a part is the name of
// the directory holding its file): every part in turn queries all the others, and the
// ranking is scored by nearest neighbour, first tier, second tier and mean average
// precision, for each part of the signature distance alone and for their combinations.
// Prints a Markdown table. Families named NAME-small and NAME-large differ only by size: the
// last row scores the size-blind distance with each such pair as one family.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "SignatureCatalog.h"
#include "SignatureMetric.h"

namespace {

struct Scores {
  double nearest = 0, firstTier = 0, secondTier = 0, meanPrecision = 0;
};

using DistanceMatrix = std::vector<std::vector<double>>;

// Leave-one-out scores of a distance matrix over labelled parts.
Scores Evaluate(const DistanceMatrix& iDistances, const std::vector<std::string>& iLabels) {
  const std::size_t count = iLabels.size();
  Scores total;
  for (std::size_t query = 0; query < count; ++query) {
    std::vector<std::size_t> others;
    for (std::size_t k = 0; k < count; ++k)
      if (k != query) others.push_back(k);
    std::stable_sort(others.begin(), others.end(),
                     [&](std::size_t a, std::size_t b) { return iDistances[query][a] < iDistances[query][b]; });
    const auto relevant = static_cast<std::size_t>(std::count(iLabels.begin(), iLabels.end(), iLabels[query]) - 1);
    if (relevant == 0) continue;
    std::size_t found = 0, inFirst = 0, inSecond = 0;
    double precisionSum = 0;
    for (std::size_t rank = 0; rank < others.size(); ++rank) {
      if (iLabels[others[rank]] != iLabels[query]) continue;
      ++found;
      precisionSum += static_cast<double>(found) / static_cast<double>(rank + 1);
      if (rank < relevant) ++inFirst;
      if (rank < 2 * relevant) ++inSecond;
    }
    total.nearest += iLabels[others[0]] == iLabels[query] ? 1 : 0;
    total.firstTier += static_cast<double>(inFirst) / static_cast<double>(relevant);
    total.secondTier += static_cast<double>(inSecond) / static_cast<double>(relevant);
    total.meanPrecision += precisionSum / static_cast<double>(relevant);
  }
  const double n = static_cast<double>(count);
  return {total.nearest / n, total.firstTier / n, total.secondTier / n, total.meanPrecision / n};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: geosig_evaluate_search CATALOG\n";
    return 2;
  }
  try {
    const SignatureCatalog catalog(argv[1], SignatureCatalog::Access::Read);
    std::vector<ShapeSignature> signatures;
    std::vector<std::string> labels;
    for (const IndexedPart& part : catalog.Parts()) {
      if (part.error) continue;
      signatures.push_back(catalog.SignatureOf(part.id));
      labels.push_back(std::filesystem::path(part.path).parent_path().filename().string());
    }
    const std::size_t count = signatures.size();
    std::vector<OccupancyPoses> poses;
    std::vector<PosedOccupancy> asIndexed;
    std::vector<ShapeKey> keys;
    for (const ShapeSignature& signature : signatures) {
      poses.emplace_back(signature.Occupancy());
      asIndexed.push_back(PosedOccupancy::Of(signature.Occupancy()));
      keys.push_back(ShapeKey::Of(signature.Terms(), signature.Norm()));
    }
    const SignatureMetric bySize(false), anySize(true);
    std::map<std::string, DistanceMatrix> matrices;
    const char* const names[] = {
        "occupancy", "views", "global terms", "size (radii along the axes, pitch)", "combined", "combined, --any-size"};
    for (const char* name : names) matrices[name].assign(count, std::vector<double>(count, 0.0));
    for (std::size_t a = 0; a < count; ++a)
      for (std::size_t b = 0; b < count; ++b) {
        if (a == b) continue;
        const DistanceParts parts = bySize.Measure(poses[a], keys[a], keys[b], asIndexed[b]);
        matrices["occupancy"][a][b] = parts.occupancy;
        matrices["views"][a][b] = parts.views;
        matrices["global terms"][a][b] = parts.shape;
        matrices["size (radii along the axes, pitch)"][a][b] = parts.size;
        matrices["combined"][a][b] = parts.combined;
        matrices["combined, --any-size"][a][b] = anySize.Measure(poses[a], keys[a], keys[b], asIndexed[b]).combined;
      }
    std::vector<std::string> families = labels;
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    std::printf("%zu parts, %zu families\n\n", count, families.size());
    std::printf("| distance | NN | first tier | second tier | mAP |\n|---|---|---|---|---|\n");
    const auto print = [](const char* iName, const Scores& iScores) {
      std::printf("| %s | %.3f | %.3f | %.3f | %.3f |\n", iName, iScores.nearest, iScores.firstTier, iScores.secondTier,
                  iScores.meanPrecision);
    };
    for (const char* name : names) print(name, Evaluate(matrices[name], labels));
    std::vector<std::string> shapes;
    for (const std::string& label : labels) {
      const std::size_t dash = label.rfind('-');
      const std::string suffix = dash == std::string::npos ? "" : label.substr(dash);
      shapes.push_back(suffix == "-small" || suffix == "-large" ? label.substr(0, dash) : label);
    }
    print("combined, --any-size, size pairs as one family", Evaluate(matrices["combined, --any-size"], shapes));
  } catch (const std::exception& failure) {
    std::cerr << "geosig_evaluate_search: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
