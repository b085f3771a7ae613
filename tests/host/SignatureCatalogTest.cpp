// The catalog database and the search over it: records kept and replaced, the databases it
// refuses, and the two-pass search agreeing with a full comparison.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "CatalogSchema.h"
#include "PerturbedSignatures.h"
#include "SignatureCatalog.h"
#include "SimilaritySearch.h"
#include "SyntheticSignatures.h"
#include "TemporaryDirectory.h"

namespace {

IndexedPart Part(const std::string& iPath, const std::string& iFingerprint, std::optional<ShapeSignature> iSignature) {
  IndexedPart part;
  part.path = iPath;
  part.fingerprint = iFingerprint;
  part.size = 100;
  part.format = "Stereolithography";
  part.options = "defaults";
  if (iSignature)
    part.descriptors = "{}", part.signature = std::move(iSignature);
  else
    part.error = "truncated";
  return part;
}

void Sql(const std::string& iDatabase, const char* iStatement) {
  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open(iDatabase.c_str(), &database), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(database, iStatement, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(database);
  sqlite3_close(database);
}

std::string OpeningError(const std::string& iPath) {
  try {
    SignatureCatalog catalog(iPath, SignatureCatalog::Access::Read);
  } catch (const CatalogError& failure) {
    return failure.what();
  }
  return "";
}

TEST(SignatureCatalog, KeepsReplacesAndDropsRecords) {
  TemporaryDirectory directory;
  const std::string path = directory.Path("catalog.db");
  std::mt19937 random(7);
  const ShapeSignature first = RandomSignature(random), second = RandomSignature(random);
  {
    SignatureCatalog catalog(path, SignatureCatalog::Access::Write);
    catalog.Put(Part("/a.stl", "AAA", first));
    catalog.Put(Part("/b.stl", "AAA", second));
    catalog.Put(Part("/bad.stl", "BBB", std::nullopt));
    catalog.Put(Part("/b.stl", "CCC", first));  // changed file: replaced
    catalog.Put(Part("/c.stl", "AAA", second));
    EXPECT_EQ(catalog.RemoveIf([](const std::string& iPath) { return iPath == "/c.stl" || iPath == "/never.stl"; }),
              1u);
  }
  const SignatureCatalog catalog(path, SignatureCatalog::Access::Read);
  EXPECT_EQ(catalog.Paths(), (std::vector<std::string>{"/a.stl", "/b.stl", "/bad.stl"}));
  EXPECT_EQ(catalog.Stamp("/b.stl"), std::make_pair(std::string("CCC"), std::string("defaults")));
  EXPECT_FALSE(catalog.Stamp("/c.stl"));
  EXPECT_TRUE(catalog.IdenticalFiles().empty());
  EXPECT_FALSE(catalog.SignedPart("/bad.stl"));
  const std::vector<IndexedPart> parts = catalog.Parts();
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[1].path, "/bad.stl");
  EXPECT_EQ(parts[1].error, "truncated");

  const ShapeSignature read = catalog.SignatureOf(*catalog.SignedPart("/a.stl"));
  EXPECT_EQ(read.Norm(), first.Norm());
  EXPECT_EQ(read.Terms(), first.Terms());
  EXPECT_EQ(read.Occupancy().Words(), first.Occupancy().Words());
  const std::vector<SignatureSummary> summaries = catalog.Summaries();
  ASSERT_EQ(summaries.size(), 2u);
}

TEST(SignatureCatalog, RefusesWhatIsNoUsableCatalog) {
  TemporaryDirectory directory;
  EXPECT_EQ(OpeningError(directory.Path("none.db")), directory.Path("none.db") + ": no such catalog");
  const std::string text = directory.Write("text.db", std::string(5000, 'x'));
  EXPECT_EQ(OpeningError(text), text + ": not a catalog (or corrupt)");
  const std::string other = directory.Path("other.db");
  Sql(other, "CREATE TABLE t(x)");
  EXPECT_EQ(OpeningError(other), other + ": not a geosig catalog (no schema version)");
  const std::string newer = directory.Path("newer.db");
  { SignatureCatalog created(newer, SignatureCatalog::Access::Write); }
  Sql(newer, "PRAGMA user_version = 99");
  EXPECT_EQ(OpeningError(newer), newer + ": written by a newer geosig (schema version 99; this one reads " +
                                     std::to_string(CatalogSchema::Latest()) + ")");
  EXPECT_THROW(SignatureCatalog(newer, SignatureCatalog::Access::Write), CatalogError);
}

// Random shapes, and 1,400 near-identical copies of one, among which the nearest are told apart
// only by their full distance.
TEST(SimilaritySearch, FindsWhatAFullComparisonFinds) {
  std::mt19937 random(11);
  std::vector<ShapeSignature> signatures;
  std::vector<SignatureSummary> summaries;
  PerturbedSignatures family(PerturbedSignatures::ParametricSeeds(1, 4), 5);
  for (std::int64_t id = 0; id < 1500; ++id) {
    signatures.push_back(id < 100 ? RandomSignature(random) : family.CopyOf(0));
    summaries.push_back(SignatureSummary::Of(id, signatures.back()));
  }
  const SimilaritySearch search(summaries, [&](std::int64_t iId) { return signatures[iId].Occupancy(); });
  for (const bool anySize : {false, true}) {
    const SignatureMetric metric(anySize);
    for (const std::int64_t queried : {3, 200, 700, 1400}) {
      const ShapeSignature& query = signatures[queried];
      const OccupancyPoses poses(query.Occupancy());
      std::vector<SignatureMatch> full;
      for (std::int64_t id = 0; id < 1500; ++id)
        if (id != queried)
          full.push_back({id, metric.Measure(poses, ShapeKey::Of(query.Terms(), query.Norm()),
                                             ShapeKey::Of(signatures[id].Terms(), signatures[id].Norm()),
                                             PosedOccupancy::Of(signatures[id].Occupancy()))});
      std::sort(full.begin(), full.end(), [](const SignatureMatch& a, const SignatureMatch& b) {
        return a.distance.combined != b.distance.combined ? a.distance.combined < b.distance.combined : a.id < b.id;
      });
      const std::vector<SignatureMatch> found = search.Nearest(query, 10, metric, queried);
      ASSERT_EQ(found.size(), 10u);
      for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_EQ(found[k].id, full[k].id) << queried << " " << k;
        EXPECT_EQ(found[k].distance.combined, full[k].distance.combined);
      }
    }
  }
  EXPECT_EQ(search.Nearest(signatures[0], 5000, SignatureMetric(false)).size(), 1500u);
}

}  // namespace
