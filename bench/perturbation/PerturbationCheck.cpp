// The search's perturbation suite on real parts: every listed part's copies (PerturbedCopies:
// tessellated anew, turned and moved, as STL, OBJ and PLY, scaled by 25.4, mirrored) query a
// catalog that holds the part among others. Prints, per kind of copy, how often the part is
// found first, and how often the copy is closer to it than `geosig duplicates` links parts
// (by shape alone for the scaled copy), has the size ratio right within 0.5 % and is flagged
// as mirrored; for the mirrored copies, how many parts are handed (their mirror image is no turned copy of them: the
// best turn is farther than the duplicates distance) and how many of those are flagged.
//
//   geosig_perturbation_check --db CATALOG LIST
// LIST holds model paths, one a line, each indexed in CATALOG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PerturbedCopies.h"
#include "SignatureCatalog.h"
#include "TemporaryDirectory.h"

namespace {

constexpr double DuplicatesDistance = 0.05;

struct Tally {
  int copies = 0, first = 0, close = 0, scaled = 0, flagged = 0;
};

// The smallest weighted occupancy and views parts over the 24 turns of the frame, from A to B.
double BestTurn(const SignatureMetric& iMetric, const ShapeSignature& iA, const ShapeSignature& iB) {
  const OccupancyPoses poses(iA.Occupancy());
  const PosedOccupancy b = PosedOccupancy::Of(iB.Occupancy());
  double best = 1e30;
  for (std::size_t map = 0; map < SignatureMetric::MapCount; ++map)
    if (!SignatureMetric::Maps()[map].Mirrors())
      best = std::min(best, iMetric.Posed(VoxelGrid::JaccardDistance(poses[map].grown, b.grown),
                                          DepthViews::Distance(poses[map].views, b.views)));
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "--db") {
    std::cerr << "usage: geosig_perturbation_check --db CATALOG LIST\n";
    return 2;
  }
  try {
    const SignatureCatalog catalog(argv[2], SignatureCatalog::Access::Read);
    const SimilaritySearch search(catalog.Summaries(), [&](std::int64_t iId) { return catalog.Occupancy(iId); });
    const SignatureMetric metric(false), shapeOnly(true);
    std::ifstream list(argv[3]);
    if (!list) throw std::runtime_error(std::string("cannot read ") + argv[3]);
    std::map<std::string, Tally> tallies;
    int handed = 0, handedFlagged = 0, parts = 0;
    for (std::string path; std::getline(list, path);) {
      if (path.empty()) continue;
      const std::optional<std::int64_t> id = catalog.SignedPart(SignatureCatalog::PathKey(path));
      if (!id) {
        std::cerr << path << ": not in the catalog with a signature (left out)\n";
        continue;
      }
      const TemporaryDirectory work;
      std::vector<PerturbedCopy> copies;
      try {
        copies = PerturbedCopies(path, work.Path(""));
      } catch (const std::exception& failure) {
        std::cerr << path << ": " << failure.what() << " (left out)\n";
        continue;
      }
      ++parts;
      for (const PerturbedCopy& copy : copies) {
        Tally& tally = tallies[copy.name];
        ++tally.copies;
        // A scaled copy is the same shape, not the same part: it is compared by shape alone, and
        // another part of that shape at another size is as near.
        const SignatureMetric& measure = copy.scale == 1.0 ? metric : shapeOnly;
        const std::vector<SignatureMatch> found = search.Nearest(copy.signature, 1, measure);
        const ShapeSignature original = catalog.SignatureOf(*id);
        const DistanceParts toOriginal = measure.Compare(copy.signature, original);
        const double scale = SignatureMetric::Scale(ShapeKey::Of(copy.signature.Terms(), copy.signature.Norm()),
                                                    ShapeKey::Of(original.Terms(), original.Norm()));
        const bool first = !found.empty() && found[0].id == *id;
        tally.first += first;
        tally.close += toOriginal.combined < DuplicatesDistance;
        tally.scaled += std::fabs(scale * copy.scale - 1.0) < 0.005;
        tally.flagged += toOriginal.mirrored;
        if (copy.mirrored && BestTurn(metric, copy.signature, original) > DuplicatesDistance) {
          ++handed;
          handedFlagged += toOriginal.mirrored;
          if (!toOriginal.mirrored) std::cerr << path << ": mirror image not flagged\n";
        }
        if (toOriginal.mirrored && !copy.mirrored) std::cerr << path << ", " << copy.name << ": flagged mirrored\n";
        if (!first) std::cerr << path << ", " << copy.name << ": found part " << found.at(0).id << " first\n";
      }
      std::fprintf(stderr, "\r%d parts", parts);
    }
    std::printf("\n%d parts\n\n| copy | found first | closer than %.2f | scale within 0.5%% | flagged mirrored |\n",
                parts, DuplicatesDistance);
    std::printf("|---|---|---|---|---|\n");
    for (const auto& [name, tally] : tallies)
      std::printf("| %s | %d/%d | %d | %d | %d |\n", name.c_str(), tally.first, tally.copies, tally.close, tally.scaled,
                  tally.flagged);
    std::printf(
        "\nhanded parts (mirror image farther than %.2f under every turn): %d; their mirror image flagged: %d\n",
        DuplicatesDistance, handed, handedFlagged);
  } catch (const std::exception& failure) {
    std::cerr << "geosig_perturbation_check: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
