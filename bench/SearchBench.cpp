// Query time of the shape search over synthetic catalogs, the query's own import left out:
// the search over signatures held in memory (10 thousand to a million parts), and a query
// as `geosig query` runs it on a catalog database of 100 thousand parts, from opening the
// database to the ranked answer. Then what re-ranking one candidate costs, in its steps.
#include <benchmark/benchmark.h>

#include <limits>
#include <memory>
#include <vector>

#include "PerturbedSignatures.h"
#include "SignatureCatalog.h"
#include "SimilaritySearch.h"
#include "SyntheticSignatures.h"
#include "TemporaryDirectory.h"

namespace {

// Distinct occupancies for the parts to share, so that a million parts fit in memory.
constexpr std::size_t distinctShapes = 1024;

const std::vector<ShapeSignature>& Shapes() {
  static const std::vector<ShapeSignature> shapes = [] {
    std::mt19937 random(5);
    std::vector<ShapeSignature> made;
    for (std::size_t k = 0; k < distinctShapes; ++k) made.push_back(RandomSignature(random));
    return made;
  }();
  return shapes;
}

// Part k has the global terms and norm of a signature of its own and shape k % distinctShapes.
ShapeSignature Part(std::size_t iK, std::mt19937& ioRandom) {
  const ShapeSignature own = RandomSignature(ioRandom);
  return ShapeSignature(own.Norm(), own.Terms(), Shapes()[iK % distinctShapes].Occupancy());
}

void BM_SearchInMemory(benchmark::State& ioState) {
  const auto count = static_cast<std::size_t>(ioState.range(0));
  std::mt19937 random(9);
  std::vector<SignatureSummary> summaries;
  summaries.reserve(count);
  for (std::size_t k = 0; k < count; ++k) summaries.push_back(SignatureSummary::Of(std::int64_t(k), Part(k, random)));
  const SimilaritySearch search(std::move(summaries), [](std::int64_t iId) {
    return Shapes()[static_cast<std::size_t>(iId) % distinctShapes].Occupancy();
  });
  const ShapeSignature query = RandomSignature(random);
  const SignatureMetric metric(false);
  for (auto _ : ioState) benchmark::DoNotOptimize(search.Nearest(query, 10, metric));
  ioState.counters["parts"] = static_cast<double>(count);
}
BENCHMARK(BM_SearchInMemory)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A catalog database of 100 thousand parts, made once for the program's run.
const std::string& Catalog() {
  static const TemporaryDirectory directory;
  static const std::string path = [] {
    const std::string database = directory.Path("catalog.db");
    SignatureCatalog catalog(database, SignatureCatalog::Access::Write);
    std::mt19937 random(13);
    std::vector<IndexedPart> batch;
    for (std::size_t k = 0; k < 100000; ++k) {
      IndexedPart part;
      part.path = "/catalog/part-" + std::to_string(k) + ".stl";
      part.fingerprint = std::to_string(k);
      part.options = "defaults";
      part.descriptors = "{}";
      part.signature = Part(k, random);
      batch.push_back(std::move(part));
      if (batch.size() == 10000) catalog.Put(batch), batch.clear();
    }
    return database;
  }();
  return path;
}

void BM_QueryCatalogDatabase(benchmark::State& ioState) {
  const std::string& database = Catalog();
  std::mt19937 random(17);
  const ShapeSignature query = RandomSignature(random);
  const SignatureMetric metric(false);
  for (auto _ : ioState) {
    const SignatureCatalog catalog(database, SignatureCatalog::Access::Read);
    const SimilaritySearch search(catalog.Summaries(), [&](std::int64_t iId) { return catalog.Occupancy(iId); });
    benchmark::DoNotOptimize(search.Nearest(query, 10, metric));
  }
}
BENCHMARK(BM_QueryCatalogDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

// Two surfaces' occupancies, of superellipsoid shells: a query and a candidate.
const std::vector<ShapeSignature>& Surfaces() {
  static const std::vector<ShapeSignature> surfaces = PerturbedSignatures::ParametricSeeds(2, 3);
  return surfaces;
}

void BM_GrowOccupancy(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(Surfaces()[1].Occupancy().Dilated());
}
BENCHMARK(BM_GrowOccupancy)->Unit(benchmark::kMicrosecond);

void BM_MakeDepthViews(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(DepthViews(Surfaces()[1].Occupancy()));
}
BENCHMARK(BM_MakeDepthViews)->Unit(benchmark::kMicrosecond);

// What a signature adds for its symmetries, and what upgrading a catalog costs a part.
void BM_MirrorSimilarities(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(ShapeSignature::MirrorSimilarities(Surfaces()[1].Occupancy()));
}
BENCHMARK(BM_MirrorSimilarities)->Unit(benchmark::kMicrosecond);

// A query's occupancy and depth views in every pose of the frame.
void BM_PoseQuery(benchmark::State& ioState) {
  for (auto _ : ioState) {
    const OccupancyPoses poses(Surfaces()[0].Occupancy());
    for (std::size_t map = 0; map < SignatureMetric::MapCount; ++map) benchmark::DoNotOptimize(&poses[map]);
  }
}
BENCHMARK(BM_PoseQuery)->Unit(benchmark::kMicrosecond);

// A candidate measured in full against the query's four turns and four reflections (argument 1),
// or dropped once its occupancy part puts it beyond the search's limit (argument 0).
void BM_MeasureCandidate(benchmark::State& ioState) {
  const ShapeSignature &query = Surfaces()[0], &candidate = Surfaces()[1];
  const OccupancyPoses poses(query.Occupancy());
  const ShapeKey a = ShapeKey::Of(query.Terms(), query.Norm()), b = ShapeKey::Of(candidate.Terms(), candidate.Norm());
  const SignatureMetric metric(false);
  const double limit = ioState.range(0) != 0 ? std::numeric_limits<double>::infinity() : 0.0;
  for (auto _ : ioState)
    benchmark::DoNotOptimize(metric.MeasureWithin(poses, a, b, CandidateOccupancy(candidate.Occupancy()), limit));
}
BENCHMARK(BM_MeasureCandidate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
