// geosig_make_large_catalog COUNT OUT.db [SEED.db]: a catalog of COUNT generated parts for
// benchmarks of search at scale (see PerturbedSignatures), in families of about 100 copies of
// a seed: the signatures of the parts of SEED.db, or parametric shapes without one. OUT.db is
// created, or added to (the copies then differ from the first run's); its paths are
// /generated/FAMILY/PART.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "PerturbedSignatures.h"
#include "SignatureCatalog.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: geosig_make_large_catalog COUNT OUT.db [SEED.db]\n";
    return 2;
  }
  char* end = nullptr;
  const long long count = std::strtoll(argv[1], &end, 10);
  if (*end != '\0' || count < 1) {
    std::cerr << "geosig_make_large_catalog: COUNT must be a positive integer, not " << argv[1] << '\n';
    return 2;
  }
  try {
    constexpr std::size_t CopiesPerSeed = 100;
    std::vector<ShapeSignature> seeds;
    if (argc == 4) {
      const SignatureCatalog seedCatalog(argv[3], SignatureCatalog::Access::Read);
      seedCatalog.EachSignature([&](std::int64_t, const ShapeSignature& iSignature) { seeds.push_back(iSignature); });
      if (seeds.empty()) throw std::runtime_error(std::string(argv[3]) + ": no signature to copy");
    } else {
      seeds = PerturbedSignatures::ParametricSeeds(std::max<std::size_t>(1, count / CopiesPerSeed), 1);
    }
    SignatureCatalog catalog(argv[2], SignatureCatalog::Access::Write);
    const long long first = static_cast<long long>(catalog.Paths().size());
    PerturbedSignatures copies(std::move(seeds), static_cast<std::uint32_t>(7 + first));
    const auto start = std::chrono::steady_clock::now();
    std::vector<IndexedPart> batch;
    for (long long k = first; k < first + count; ++k) {
      const std::size_t family = static_cast<std::size_t>(k) % copies.Families();
      IndexedPart part;
      part.path = "/generated/" + std::to_string(family) + "/" + std::to_string(k) + ".stl";
      part.fingerprint = "generated-" + std::to_string(k);
      part.size = 0;
      part.format = "generated";
      part.options = "generated";
      part.signature = copies.CopyOf(family);
      batch.push_back(std::move(part));
      if (batch.size() == 2000 || k + 1 == first + count) {
        catalog.Put(batch);
        batch.clear();
        std::fprintf(stderr, "\r%lld parts", k + 1 - first);
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "\n%lld parts written to %s in %.1f s\n", count, argv[2], seconds);
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "geosig_make_large_catalog: " << failure.what() << '\n';
    return 1;
  }
}
