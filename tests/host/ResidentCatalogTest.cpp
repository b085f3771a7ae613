// The resident catalog and its approximate index: recall against the exhaustive search on a
// generated catalog, the index kept consistent through adds, replacements and removals (in
// memory by Refresh, on disk by the next opening), and catalogs of the first schema upgraded
// rather than refused.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "CandidateCache.h"
#include "CatalogSchema.h"
#include "MappedGraph.h"
#include "PerturbedSignatures.h"
#include "ResidentCatalog.h"
#include "SavedSearchIndex.h"
#include "SearchIndex.h"
#include "SignatureCatalog.h"
#include "TemporaryDirectory.h"

namespace {

IndexedPart Generated(const std::string& iPath, ShapeSignature iSignature) {
  IndexedPart part;
  part.path = iPath;
  part.fingerprint = iPath;
  part.options = "generated";
  part.signature = std::move(iSignature);
  return part;
}

// A catalog of iFamilies families of iCopies perturbed copies of parametric shapes.
void Generate(const std::string& iDatabase, std::size_t iFamilies, std::size_t iCopies, std::uint32_t iSeed,
              const std::string& iPrefix = "/p") {
  PerturbedSignatures copies(PerturbedSignatures::ParametricSeeds(iFamilies, iSeed), iSeed + 1);
  std::vector<IndexedPart> parts;
  for (std::size_t k = 0; k < iFamilies * iCopies; ++k)
    parts.push_back(Generated(iPrefix + std::to_string(k), copies.CopyOf(k % iFamilies)));
  SignatureCatalog(iDatabase, SignatureCatalog::Access::Write).Put(parts);
}

std::vector<std::int64_t> IdsOf(const std::vector<SignatureMatch>& iMatches) {
  std::vector<std::int64_t> ids;
  for (const SignatureMatch& match : iMatches) ids.push_back(match.id);
  return ids;
}

// The share of the exhaustive search's k nearest that the index finds, over iQueries parts.
double Recall(const ResidentCatalog& iCatalog, const SignatureMetric& iMetric, std::size_t iQueries) {
  const std::vector<std::int64_t> ids = iCatalog.Ids();
  std::size_t found = 0, wanted = 0;
  for (std::size_t q = 0; q < iQueries; ++q) {
    const std::int64_t id = ids[q * ids.size() / iQueries];
    const std::vector<SignatureMatch> exact = iCatalog.Neighbours(id, 10, iMetric, true);
    const std::vector<std::int64_t> approximate = IdsOf(iCatalog.Neighbours(id, 10, iMetric));
    for (const SignatureMatch& match : exact)
      found += std::count(approximate.begin(), approximate.end(), match.id) > 0 ||
               // a tie at the tenth place may be broken either way
               match.distance.combined == exact.back().distance.combined;
    wanted += exact.size();
  }
  return static_cast<double>(found) / static_cast<double>(wanted);
}

TEST(ResidentCatalog, IndexFindsWhatTheExhaustiveSearchFinds) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("generated.db");
  Generate(database, 40, 75, 3);
  const ResidentCatalog catalog(database);
  EXPECT_EQ(catalog.Size(), 3000u);
  EXPECT_NE(catalog.Note().find("built for 3000 parts"), std::string::npos) << catalog.Note();
  EXPECT_GE(Recall(catalog, SignatureMetric(false), 20), 0.95);
  EXPECT_GE(Recall(catalog, SignatureMetric(true), 20), 0.95);
  // A query's answers are exact distances, nearest first.
  const std::int64_t id = catalog.Ids()[17];
  const ShapeSignature query = catalog.SignatureOf(id);
  const SignatureMetric metric(false);
  const std::vector<SignatureMatch> matches = catalog.Query(query, 5, metric);
  ASSERT_EQ(matches.size(), 5u);
  EXPECT_EQ(matches[0].id, id);
  EXPECT_EQ(matches[0].distance.combined, 0.0);
  for (std::size_t k = 1; k < matches.size(); ++k) {
    EXPECT_LE(matches[k - 1].distance.combined, matches[k].distance.combined);
    EXPECT_DOUBLE_EQ(matches[k].distance.combined, metric.Compare(query, catalog.SignatureOf(matches[k].id)).combined);
  }
}

TEST(ResidentCatalog, StaysConsistentThroughAddsReplacementsAndRemovals) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("catalog.db");
  Generate(database, 10, 40, 5);
  ResidentCatalog resident(database);
  EXPECT_FALSE(resident.Refresh());
  for (const std::string& file : SearchIndex::FilesOf(database)) EXPECT_TRUE(std::filesystem::exists(file)) << file;

  // Replace 20 parts, remove 150 (more than a quarter: the graphs are compacted), add 60.
  std::set<std::int64_t> gone;
  {
    SignatureCatalog catalog(database, SignatureCatalog::Access::Write);
    PerturbedSignatures copies(PerturbedSignatures::ParametricSeeds(3, 9), 10);
    std::vector<IndexedPart> replaced;
    std::set<std::string> removed;
    for (int k = 0; k < 20; ++k) {
      const std::string path = "/p" + std::to_string(k);
      gone.insert(*catalog.SignedPart(path));
      replaced.push_back(Generated(path, copies.CopyOf(k)));
    }
    for (int k = 100; k < 250; ++k) {
      removed.insert("/p" + std::to_string(k));
      gone.insert(*catalog.SignedPart("/p" + std::to_string(k)));
    }
    catalog.Put(replaced);
    catalog.RemoveIf([&](const std::string& iPath) { return removed.count(iPath) > 0; });
  }
  Generate(database, 3, 20, 11, "/added");
  ASSERT_TRUE(resident.Refresh());
  EXPECT_FALSE(resident.Refresh());
  EXPECT_EQ(resident.Size(), 400u - 150u + 60u);
  EXPECT_FALSE(resident.IdOf("/p120"));
  ASSERT_TRUE(resident.IdOf("/added7"));
  EXPECT_EQ(resident.PathOf(*resident.IdOf("/added7")), "/added7");

  // The saved index is brought up to date by the next opening, not built again.
  const ResidentCatalog reopened(database);
  EXPECT_NE(reopened.Note().find("brought up to date: 80 parts added, 170 removed"), std::string::npos)
      << reopened.Note();
  EXPECT_EQ(ResidentCatalog(database).Note(), "");
  EXPECT_EQ(reopened.Ids(), resident.Ids());

  for (const SignatureMetric& metric : {SignatureMetric(false), SignatureMetric(true)})
    for (const std::int64_t id : {*resident.IdOf("/p3"), *resident.IdOf("/p300"), *resident.IdOf("/added7")}) {
      const std::vector<SignatureMatch> exact = resident.Neighbours(id, 8, metric, true);
      const std::vector<SignatureMatch> found = resident.Neighbours(id, 8, metric);
      EXPECT_EQ(IdsOf(found), IdsOf(reopened.Neighbours(id, 8, metric)));
      EXPECT_EQ(IdsOf(found), IdsOf(exact));
      for (const SignatureMatch& match : found) EXPECT_EQ(gone.count(match.id), 0u);
    }
  EXPECT_THROW(resident.Neighbours(*gone.begin(), 3, SignatureMetric(false)), std::out_of_range);
}

TEST(ResidentCatalog, SavedGraphsSearchedInPlaceProposeWhatTheLoadedOnesPropose) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("catalog.db");
  Generate(database, 20, 60, 13);
  // Removed parts stay in the saved graphs as deleted points, which the walk passes over.
  ResidentCatalog{database};
  SignatureCatalog(database, SignatureCatalog::Access::Write).RemoveIf([](const std::string& iPath) {
    return iPath.size() > 4 && iPath[3] == '5';
  });
  ResidentCatalog{database};
  const SignatureCatalog catalog(database, SignatureCatalog::Access::Read);
  std::string reason;
  const std::optional<SearchIndex::Saved> loaded = SearchIndex::Load(database, reason);
  ASSERT_TRUE(loaded) << reason;
  const std::unique_ptr<SavedSearchIndex> mapped = SavedSearchIndex::Open(database, catalog.Changes(), reason);
  ASSERT_TRUE(mapped) << reason;
  const std::vector<std::int64_t> ids = catalog.SignedIds();
  for (std::size_t q = 0; q < 40; ++q)
    for (const bool anySize : {false, true})
      for (const std::size_t count : {std::size_t{3}, std::size_t{100}}) {
        const ShapeSignature query = catalog.SignatureOf(ids[q * 29 % ids.size()]);
        const std::vector<std::int64_t> candidates = mapped->Candidates(query, count, anySize);
        EXPECT_EQ(candidates, loaded->index.Candidates(query, count, anySize));
        for (const std::int64_t id : candidates) EXPECT_TRUE(loaded->index.Holds(id)) << id;
      }
  // A saved index of another change count is not searched in place.
  EXPECT_FALSE(SavedSearchIndex::Open(database, *catalog.Changes() + 1, reason));
  EXPECT_EQ(reason, "the search index is out of date");

  // A graph cut short or of other points is refused with a reason, never searched.
  const std::string graph = SearchIndex::GraphOf(SearchIndex::FilesOf(database), false);
  EXPECT_THROW(MappedGraph(graph, SearchVector::Dimension + 1), std::runtime_error);
  const std::string cut = directory.Path("cut.hnsw");
  std::filesystem::copy_file(graph, cut);
  std::filesystem::resize_file(cut, std::filesystem::file_size(graph) - 100);
  EXPECT_THROW(MappedGraph(cut, SearchVector::Dimension), std::runtime_error);
  std::filesystem::resize_file(cut, 50);
  EXPECT_THROW(MappedGraph(cut, SearchVector::Dimension), std::runtime_error);
}

TEST(ResidentCatalog, LoadedOnDemandAnswersAsLoadedWhole) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("catalog.db");
  Generate(database, 10, 50, 17);
  ResidentCatalog whole(database);
  const ResidentCatalog onDemand(database, ResidentCatalog::Loading::OnDemand);
  const std::int64_t id = *whole.IdOf("/p42");
  EXPECT_EQ(onDemand.IdOf("/p42"), id);
  EXPECT_FALSE(onDemand.IdOf("/nowhere"));
  EXPECT_EQ(onDemand.PathOf(id), "/p42");
  EXPECT_THROW(onDemand.PathOf(-1), std::out_of_range);
  EXPECT_THROW(onDemand.SignatureOf(-1), std::out_of_range);
  EXPECT_EQ(onDemand.SignatureOf(id).Terms(), whole.SignatureOf(id).Terms());
  const auto same = [](const std::vector<SignatureMatch>& iA, const std::vector<SignatureMatch>& iB) {
    ASSERT_EQ(IdsOf(iA), IdsOf(iB));
    for (std::size_t k = 0; k < iA.size(); ++k) EXPECT_EQ(iA[k].distance.combined, iB[k].distance.combined);
  };
  for (const SignatureMetric& metric : {SignatureMetric(false), SignatureMetric(true)})
    for (const std::int64_t query : {id, *whole.IdOf("/p7"), *whole.IdOf("/p499")})
      same(onDemand.Neighbours(query, 10, metric), whole.Neighbours(query, 10, metric));

  // Parts added after opening: the on-demand catalog loads whole when it sees them.
  Generate(database, 2, 10, 19, "/added");
  ASSERT_TRUE(whole.Refresh());
  ResidentCatalog stale(database, ResidentCatalog::Loading::OnDemand);
  EXPECT_NE(stale.Note().find("brought up to date: 20 parts added"), std::string::npos) << stale.Note();
  const std::int64_t added = *whole.IdOf("/added3");
  EXPECT_EQ(stale.Size(), 520u);
  same(stale.Neighbours(added, 10, SignatureMetric(false)), whole.Neighbours(added, 10, SignatureMetric(false)));
  ResidentCatalog current(database, ResidentCatalog::Loading::OnDemand);
  EXPECT_EQ(current.Note(), "");
  Generate(database, 1, 5, 23, "/later");
  EXPECT_TRUE(current.Refresh());
  EXPECT_FALSE(current.Refresh());
  EXPECT_EQ(current.Size(), 525u);
  EXPECT_TRUE(current.IdOf("/later2"));
  ASSERT_TRUE(whole.Refresh());
  EXPECT_EQ(current.Duplicates(0.05, SignatureMetric(false)), whole.Duplicates(0.05, SignatureMetric(false)));
}

// Duplicates over a whole catalog take the parts in the order their links lead and share the
// candidates they read: each part's links must be those it has searched alone.
TEST(ResidentCatalog, DuplicateLinksOfAWholeRunAreThoseOfEachPartAlone) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("families.db");
  Generate(database, 30, 20, 29);  // each family's copies scattered over the catalog's order
  const ResidentCatalog catalog(database);
  const SignatureMetric metric(false);
  const std::vector<std::int64_t> ids = catalog.Ids();
  std::vector<ResidentCatalog::Link> whole = catalog.DuplicateLinks(ids, 0.05, metric);
  std::vector<ResidentCatalog::Link> alone;
  for (const std::int64_t id : ids)
    for (const ResidentCatalog::Link& link : catalog.DuplicateLinks({id}, 0.05, metric)) alone.push_back(link);
  std::sort(whole.begin(), whole.end());
  std::sort(alone.begin(), alone.end());
  EXPECT_GT(alone.size(), ids.size());
  EXPECT_EQ(whole, alone);
}

// Kept candidates are shared, the least recently used given up first; a cache that keeps none
// reads every time.
TEST(CandidateCache, KeepsTheMostRecentlyUsed) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("few.db");
  Generate(database, 4, 1, 31);
  const SignatureCatalog catalog(database, SignatureCatalog::Access::Read);
  const std::vector<std::int64_t> ids = ResidentCatalog(database).Ids();
  CandidateCache cache(2);
  const auto first = cache.Of({ids[0], ids[1]}, catalog);
  EXPECT_EQ(first[1]->Grown().Words(), catalog.Occupancy(ids[1]).Dilated().Words());
  EXPECT_EQ(cache.Of({ids[0]}, catalog)[0], first[0]);
  const auto next = cache.Of({ids[2], ids[0]}, catalog);  // ids[1] is now the least recent
  EXPECT_EQ(next[1], first[0]);
  EXPECT_NE(cache.Of({ids[1]}, catalog)[0], first[1]);  // read again: ids[0] is now the least recent
  EXPECT_EQ(cache.Of({ids[2]}, catalog)[0], next[0]);
  EXPECT_NE(cache.Of({ids[0]}, catalog)[0], first[0]);
  CandidateCache none(0);
  EXPECT_NE(none.Of({ids[3]}, catalog)[0], none.Of({ids[3]}, catalog)[0]);
}

// The tables and rows of a catalog written before schema versions were kept in user_version.
const char* const firstSchema = R"sql(
CREATE TABLE schema_version(version INTEGER NOT NULL);
INSERT INTO schema_version(version) VALUES (1);
CREATE TABLE parts(
  id INTEGER PRIMARY KEY AUTOINCREMENT, path TEXT NOT NULL UNIQUE, fingerprint TEXT, size INTEGER, format TEXT,
  options TEXT NOT NULL, status TEXT NOT NULL CHECK (status IN ('ok', 'failed')), error TEXT, descriptors TEXT,
  norm REAL, terms BLOB, coarse BLOB);
CREATE INDEX parts_by_fingerprint ON parts(fingerprint);
CREATE TABLE occupancies(
  part INTEGER PRIMARY KEY REFERENCES parts(id) ON DELETE CASCADE, depth INTEGER NOT NULL, cells BLOB NOT NULL);
)sql";

void WriteFirstSchemaCatalog(const std::string& iDatabase, const std::vector<ShapeSignature>& iSignatures) {
  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open(iDatabase.c_str(), &database), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(database, firstSchema, nullptr, nullptr, nullptr), SQLITE_OK);
  for (std::size_t k = 0; k < iSignatures.size(); ++k) {
    const ShapeSignature& signature = iSignatures[k];
    // Without the mirror similarities, which came later.
    std::string terms(sizeof(float) * ShapeSignature::MirrorX, '\0');
    std::memcpy(terms.data(), signature.Terms().data(), terms.size());  // little-endian machines only
    const std::string coarse = signature.Occupancy().Pooled(3).Pack(), cells = signature.Occupancy().Pack();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(database,
                       "INSERT INTO parts(path, fingerprint, options, status, norm, terms, coarse) "
                       "VALUES (?, 'F', 'defaults', 'ok', ?, ?, ?)",
                       -1, &insert, nullptr);
    const std::string path = "/old" + std::to_string(k);
    sqlite3_bind_text(insert, 1, path.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert, 2, signature.Norm());
    sqlite3_bind_blob(insert, 3, terms.data(), static_cast<int>(terms.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 4, coarse.data(), static_cast<int>(coarse.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_prepare_v2(database, "INSERT INTO occupancies(part, depth, cells) VALUES (last_insert_rowid(), 5, ?)", -1,
                       &insert, nullptr);
    sqlite3_bind_blob(insert, 1, cells.data(), static_cast<int>(cells.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
  }
  sqlite3_close(database);
}

std::int64_t Scalar(const std::string& iDatabase, const char* iSql) {
  sqlite3* database = nullptr;
  sqlite3_open(iDatabase.c_str(), &database);
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(database, iSql, -1, &select, nullptr);
  const std::int64_t value = sqlite3_step(select) == SQLITE_ROW ? sqlite3_column_int64(select, 0) : -1;
  sqlite3_finalize(select);
  sqlite3_close(database);
  return value;
}

TEST(CatalogSchema, FirstSchemaCatalogIsReadAsItIsAndUpgradedForWriting) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("old.db");
  const std::vector<ShapeSignature> signatures = PerturbedSignatures::ParametricSeeds(6, 4);
  WriteFirstSchemaCatalog(database, signatures);
  // The asymmetries and the pitch are measured on the surface, which the catalog does not hold.
  ShapeSignature::Global expected = signatures[4].Terms();
  std::fill(expected.begin() + ShapeSignature::AsymmetryX, expected.end(), ShapeSignature::Unmeasured);

  {  // Searched as it is, the mirror similarities measured as they are read: nothing written.
    const ResidentCatalog resident(database);
    EXPECT_EQ(resident.Size(), 6u);
    EXPECT_EQ(resident.SignatureOf(5).Terms(), expected);
    EXPECT_EQ(IdsOf(resident.Neighbours(1, 3, SignatureMetric(false))),
              IdsOf(resident.Neighbours(1, 3, SignatureMetric(false), true)));
    EXPECT_FALSE(SignatureCatalog(database, SignatureCatalog::Access::Read).Changes());
  }
  EXPECT_EQ(Scalar(database, "PRAGMA user_version"), 0);

  SignatureCatalog catalog(database, SignatureCatalog::Access::Write);
  EXPECT_EQ(Scalar(database, "PRAGMA user_version"), CatalogSchema::Latest());
  EXPECT_EQ(Scalar(database, "SELECT max(version) FROM schema_version"), 1);  // what older geosig read
  EXPECT_EQ(Scalar(database, "SELECT count(*) FROM parts WHERE length(terms) = 68"), 6);
  const ShapeSignature read = catalog.SignatureOf(*catalog.SignedPart("/old4"));
  EXPECT_EQ(read.Terms(), expected);
  EXPECT_EQ(read.Occupancy().Words(), signatures[4].Occupancy().Words());
  // Their files are read again when the catalog is next brought up to date.
  EXPECT_FALSE(catalog.Stamp("/old4"));
  catalog.Put(Generated("/old4", signatures[0]));
  EXPECT_TRUE(catalog.Stamp("/old4"));
  catalog.RemoveIf([](const std::string& iPath) { return iPath == "/old5"; });
  EXPECT_EQ(catalog.Changes(), 3 * 6 + 3);  // three upgrades' updates; a replacement is a removal and an insertion
  // Opening again changes nothing.
  SignatureCatalog(database, SignatureCatalog::Access::Write);
  EXPECT_EQ(catalog.Changes(), 3 * 6 + 3);

  // A part as the version before held it, its terms ending before the pitch.
  ASSERT_EQ(Scalar(database, "UPDATE parts SET terms = substr(terms, 1, 64) WHERE path = '/old3' RETURNING 1"), 1);
  EXPECT_EQ(catalog.SignatureOf(*catalog.SignedPart("/old3")).Terms()[ShapeSignature::Pitch],
            ShapeSignature::Unmeasured);
  EXPECT_FALSE(catalog.Stamp("/old3"));
}

TEST(CatalogSchema, OldCatalogWithADamagedOccupancyIsRefusedAndLeftAsItWas) {
  TemporaryDirectory directory;
  const std::string database = directory.Path("old.db");
  WriteFirstSchemaCatalog(database, PerturbedSignatures::ParametricSeeds(3, 4));
  ASSERT_EQ(Scalar(database, "UPDATE occupancies SET cells = x'00' WHERE part = 2 RETURNING part"), 2);
  try {
    SignatureCatalog(database, SignatureCatalog::Access::Write);
    ADD_FAILURE() << "a damaged occupancy was upgraded";
  } catch (const CatalogError& failure) {
    EXPECT_NE(std::string(failure.what()).find("an occupancy is damaged"), std::string::npos) << failure.what();
  }
  EXPECT_EQ(Scalar(database, "PRAGMA user_version"), 0);
  EXPECT_EQ(Scalar(database, "SELECT count(*) FROM parts WHERE length(terms) = 40"), 3);
  EXPECT_THROW(ResidentCatalog{database}, CatalogError);
}

TEST(CatalogSchema, EverySectionRunsOnANewCatalogAndIsDocumented) {
  ASSERT_FALSE(CatalogSchema::Migrations().empty());
  int expected = 1;
  for (const auto& [version, sql] : CatalogSchema::Migrations()) {
    EXPECT_EQ(version, expected++);
    EXPECT_NE(sql.find(';'), std::string::npos);
  }
  // The documentation quotes the schema as it is.
  std::ifstream page(std::string(GEOSIG_SAMPLES_DIR) + "/../../docs/geosig-search.md");
  const std::string documentation((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
  for (const auto& [version, sql] : CatalogSchema::Migrations())
    EXPECT_NE(documentation.find(sql), std::string::npos) << "section " << version << " is not quoted";

  TemporaryDirectory directory;
  const std::string database = directory.Path("new.db");
  SignatureCatalog catalog(database, SignatureCatalog::Access::Write);
  EXPECT_EQ(Scalar(database, "PRAGMA user_version"), CatalogSchema::Latest());
  EXPECT_EQ(catalog.Changes(), 0);
}

}  // namespace
