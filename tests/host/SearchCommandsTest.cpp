// End-to-end tests of `geosig index`, `query`, `neighbours` and `duplicates`: invariance of the
// search to pose, scale, tessellation and format, the incremental index, concurrent writers,
// and the one-line errors on bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "MeshWriters.h"
#include "ReportChecks.h"
#include "ResidentCatalog.h"
#include "SceneBuilder.h"
#include "SearchIndex.h"
#include "SearchTestShapes.h"
#include "SignatureCatalog.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

Zar4x4Matrix Turned() { return scene::Rotation(0.36, 0.48, 0.8, 2.2) * scene::Translation(-30, 12, 7); }

// The ids the catalog gives its parts, by path: a part read again gets a new id.
std::map<std::string, std::int64_t> IdsByPath(const std::string& iDatabase) {
  std::map<std::string, std::int64_t> ids;
  for (const IndexedPart& part : SignatureCatalog(iDatabase, SignatureCatalog::Access::Read).Parts())
    ids[part.path] = part.id;
  return ids;
}

// The query's entry in the JSON document.
json Query(const std::string& iDatabase, std::vector<std::string> iArguments) {
  std::vector<std::string> arguments = {"query", "--db", iDatabase, "--json"};
  arguments.insert(arguments.end(), iArguments.begin(), iArguments.end());
  const CommandResult result = RunCommand(geosig, arguments);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const json document = json::parse(result.out);
  EXPECT_EQ(document["schema"], "geosig-query");
  return document["files"][0];
}

// The command failed before doing anything: iStatus, no output, one error line holding iReason.
void ExpectRefused(const CommandResult& iResult, int iStatus, const std::string& iReason) {
  EXPECT_EQ(iResult.exitStatus, iStatus);
  EXPECT_EQ(iResult.out, "");
  EXPECT_EQ(std::count(iResult.err.begin(), iResult.err.end(), '\n'), 1) << iResult.err;
  EXPECT_NE(iResult.err.find(iReason), std::string::npos) << iResult.err;
}

TEST(SearchCommands, SamePartFoundAcrossPoseScaleTessellationAndFormat) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  const ZarTessellation bracket = Bracket();
  WriteBinaryStl(folder + "/bracket.stl", bracket);
  WriteBinaryStl(folder + "/turned.stl", Placed(bracket, Turned()));
  WriteBinaryPly(folder + "/finer.ply", Finer(Placed(bracket, Turned()), 400));
  WriteObj(folder + "/converted.obj", "bracket", bracket);
  WriteBinaryStl(folder + "/scaled.stl", Placed(bracket, scene::Scaling(2.5) * Turned()));
  WriteBinaryStl(folder + "/box.stl", scene::Box({0, 0, 0}, {3, 1.5f, 2}));
  WriteBinaryStl(folder + "/ball.stl", scene::Sphere({1, 1, 1}, 1.5f, 24, 12));
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);

  const std::vector<std::string> sameSize = {"bracket.stl", "turned.stl", "finer.ply", "converted.obj"};
  for (const std::string& name : sameSize) {
    SCOPED_TRACE(name);
    const json found = Query(database, {"--entry", folder + "/" + name, "-k", "3"})["matches"];
    ASSERT_EQ(found.size(), 3u);
    for (const json& match : found) {
      const std::string other = std::filesystem::path(match["file"].get<std::string>()).filename();
      EXPECT_NE(std::find(sameSize.begin(), sameSize.end(), other), sameSize.end()) << other;
      EXPECT_LT(match["distance"]["combined"].get<double>(), 0.05);
    }
  }
  // A file queried from outside the catalog finds its own record at distance 0.
  const json self = Query(database, {folder + "/turned.stl", "-k", "1"})["matches"][0];
  EXPECT_EQ(self["file"], folder + "/turned.stl");
  EXPECT_EQ(self["distance"]["combined"], 0.0);

  // Scaled, the part is a bracket of another size unless size is ignored.
  const json bySize = Query(database, {"--entry", folder + "/scaled.stl", "-k", "4"})["matches"];
  EXPECT_GT(bySize[0]["distance"]["size"].get<double>(), 0.9);
  const json anySize = Query(database, {"--entry", folder + "/scaled.stl", "-k", "4", "--any-size"});
  EXPECT_EQ(anySize["anySize"], true);
  for (const json& match : anySize["matches"]) {
    EXPECT_LT(match["distance"]["combined"].get<double>(), 0.05) << match["file"];
    EXPECT_EQ(match["distance"]["size"].get<double>() * anySize["weights"]["size"].get<double>(), 0.0);
  }
}

TEST(SearchCommands, MatchesSayWhetherTheyAreMirrorImagesAndHowLargeTheyAre) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  // The bracket with a tab off its middle plane is a left-hand part; mirrored, a right-hand one.
  ZarTessellation left = Bracket();
  const ZarTessellation tab = scene::Box({2.2f, 0, 0.3f}, {2.8f, 0.4f, 0.9f});
  const auto offset = static_cast<unsigned int>(left.VertexCount());
  left.vertices.insert(left.vertices.end(), tab.vertices.begin(), tab.vertices.end());
  for (const unsigned int index : tab.triangles) left.triangles.push_back(index + offset);
  const Zar4x4Matrix reflection(ZarMathVector(1, 0, 0), ZarMathVector(0, -1, 0), ZarMathVector(0, 0, 1),
                                ZarMathVector(0, 0, 0));
  WriteBinaryStl(folder + "/left.stl", left);
  WriteBinaryStl(folder + "/right.stl", Placed(left, reflection * Turned()));
  WriteBinaryStl(folder + "/bracket.stl", Bracket());
  WriteBinaryStl(folder + "/bracket-mirrored.stl", Placed(Bracket(), reflection));
  WriteBinaryStl(folder + "/bracket-large.stl", Placed(Bracket(), scene::Scaling(4) * Turned()));
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);

  const json right = Query(database, {"--entry", folder + "/right.stl", "-k", "1"});
  EXPECT_EQ(right["mirrors"], "flag");
  EXPECT_EQ(right["matches"][0]["file"], folder + "/left.stl");
  EXPECT_EQ(right["matches"][0]["mirrored"], true);
  EXPECT_LT(right["matches"][0]["distance"]["combined"].get<double>(), 0.05);
  const json withoutMirrors = Query(database, {"--entry", folder + "/right.stl", "--mirrors", "exclude"});
  for (const json& match : withoutMirrors["matches"]) EXPECT_NE(match["file"], folder + "/left.stl");
  // A part with a mirror plane is its own mirror image.
  const json mirrored = Query(database, {"--entry", folder + "/bracket-mirrored.stl", "-k", "1"})["matches"][0];
  EXPECT_EQ(mirrored["file"], folder + "/bracket.stl");
  EXPECT_EQ(mirrored["mirrored"], false);
  const json anySize = Query(database, {"--entry", folder + "/bracket.stl", "--any-size"});
  for (const json& match : anySize["matches"]) {
    if (match["file"] == folder + "/bracket-large.stl") {
      EXPECT_NEAR(match["scale"].get<double>(), 4.0, 0.02);
    } else if (match["file"] == folder + "/bracket-mirrored.stl") {
      EXPECT_NEAR(match["scale"].get<double>(), 1.0, 0.005);
    }
  }

  const CommandResult text =
      RunCommand(geosig, {"query", "--db", database, "--entry", folder + "/right.stl", "-k", "1"});
  EXPECT_NE(text.out.find("  scale "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  mirrored  " + folder + "/left.stl"), std::string::npos) << text.out;
  const CommandResult refused =
      RunCommand(geosig, {"query", "--db", database, folder + "/right.stl", "--mirrors", "keep"});
  EXPECT_EQ(refused.exitStatus, 2);
  EXPECT_NE(refused.err.find("--mirrors"), std::string::npos) << refused.err;
}

TEST(SearchCommands, IndexReadsOnlyWhatChangedAndRecordsBadFiles) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  WriteBinaryStl(folder + "/bracket.stl", Bracket());
  WriteBinaryStl(folder + "/box.stl", scene::Box({0, 0, 0}, {3, 1.5f, 2}));
  directory.Write("parts/bad.stl", "solid broken\nfacet normal 0 0 1\n");
  const std::string database = directory.Path("catalog.db");

  const CommandResult first = RunCommand(geosig, {"index", folder, "--db", database});
  ExpectFileFailure(first, folder + "/bad.stl", "");
  std::map<std::string, std::int64_t> ids = IdsByPath(database);
  ASSERT_EQ(ids.size(), 3u);
  const std::vector<IndexedPart> parts = SignatureCatalog(database, SignatureCatalog::Access::Read).Parts();
  const auto bad = std::find_if(parts.begin(), parts.end(), [](const IndexedPart& p) { return p.error.has_value(); });
  ASSERT_NE(bad, parts.end());
  EXPECT_EQ(bad->path, folder + "/bad.stl");
  EXPECT_NE(first.err.find(*bad->error), std::string::npos);

  // Nothing changed: nothing read again, the known bad file included.
  EXPECT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);
  EXPECT_EQ(IdsByPath(database), ids);

  WriteBinaryStl(folder + "/box.stl", scene::Box({0, 0, 0}, {1, 1, 5}));
  std::filesystem::remove(folder + "/bracket.stl");
  EXPECT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);
  const std::map<std::string, std::int64_t> after = IdsByPath(database);
  EXPECT_EQ(after.size(), 2u);
  EXPECT_EQ(after.count(folder + "/bracket.stl"), 0u);
  EXPECT_NE(after.at(folder + "/box.stl"), ids.at(folder + "/box.stl"));
  EXPECT_EQ(after.at(folder + "/bad.stl"), ids.at(folder + "/bad.stl"));

  // Other tessellation options read every file again.
  EXPECT_EQ(RunCommand(geosig, {"index", folder, "--db", database, "--angular-deflection", "0.3"}).exitStatus, 1);
  EXPECT_NE(IdsByPath(database).at(folder + "/bad.stl"), ids.at(folder + "/bad.stl"));
}

TEST(SearchCommands, ConcurrentIndexRunsLeaveOneConsistentCatalog) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  for (int k = 0; k < 12; ++k)
    WriteBinaryStl(folder + "/part" + std::to_string(k) + ".stl",
                   Placed(Bracket(), scene::Scaling(1.0 + 0.1 * k) * Turned()));
  // Several rounds, each on a new catalog: both runs creating it at once is the narrow race.
  for (int round = 0; round < 4; ++round) {
    const std::string database = directory.Path("catalog" + std::to_string(round) + ".db");
    CommandResult results[2];
    std::thread other([&] { results[1] = RunCommand(geosig, {"index", folder, "--db", database}); });
    results[0] = RunCommand(geosig, {"index", folder, "--db", database});
    other.join();
    for (const CommandResult& result : results) ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(IdsByPath(database).size(), 12u);
    const SignatureCatalog catalog(database, SignatureCatalog::Access::Read);
    EXPECT_EQ(catalog.Summaries().size(), 12u);
    for (const SignatureSummary& summary : catalog.Summaries()) EXPECT_EQ(catalog.Occupancy(summary.id).Depth(), 5u);
  }
}

TEST(SearchCommands, NeighboursAndDuplicatesOfACatalog) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  WriteBinaryStl(folder + "/a.stl", Bracket());
  std::filesystem::copy_file(folder + "/a.stl", folder + "/a-copy.stl");
  WriteBinaryStl(folder + "/a-turned.stl", Placed(Bracket(), Turned()));
  WriteBinaryStl(folder + "/box.stl", scene::Box({0, 0, 0}, {3, 1.5f, 2}));
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);

  const std::string output = directory.Path("neighbours.jsonl");
  ASSERT_EQ(RunCommand(geosig, {"neighbours", "--db", database, "-k", "2", "-o", output}).exitStatus, 0);
  std::istringstream lines(FileContents(output));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const json record = json::parse(line);
    ASSERT_EQ(record["neighbours"].size(), 2u);
    for (const json& neighbour : record["neighbours"]) EXPECT_NE(neighbour["file"], record["file"]);
    if (record["file"] != folder + "/box.stl") {
      EXPECT_LT(record["neighbours"][1]["distance"]["combined"].get<double>(), 0.05);
    }
  }
  EXPECT_EQ(count, 4);

  const CommandResult duplicates = RunCommand(geosig, {"duplicates", "--db", database, "--json"});
  ASSERT_EQ(duplicates.exitStatus, 0) << duplicates.err;
  const json groups = json::parse(duplicates.out);
  EXPECT_EQ(groups["identical"], json::array({json::array({folder + "/a-copy.stl", folder + "/a.stl"})}));
  EXPECT_EQ(groups["similar"],
            json::array({json::array({folder + "/a-copy.stl", folder + "/a-turned.stl", folder + "/a.stl"})}));
}

TEST(SearchCommands, IndexedAndExactSearchesAgreeWithTheResidentCatalog) {
  TemporaryDirectory directory;
  const std::string folder = directory.Path("parts");
  std::filesystem::create_directories(folder);
  for (int k = 0; k < 6; ++k)
    WriteBinaryStl(folder + "/bracket" + std::to_string(k) + ".stl",
                   Placed(Bracket(), scene::Scaling(1.0 + 0.2 * k) * Turned()));
  WriteBinaryStl(folder + "/box.stl", scene::Box({0, 0, 0}, {3, 1.5f, 2}));
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);
  for (const std::string& file : SearchIndex::FilesOf(database)) EXPECT_TRUE(std::filesystem::exists(file)) << file;

  const std::string entry = folder + "/bracket2.stl";
  const ResidentCatalog resident(database);
  EXPECT_EQ(resident.Note(), "");  // index kept it up to date
  for (const bool anySize : {false, true}) {
    std::vector<std::string> options = {"--entry", entry, "-k", "4"};
    if (anySize) options.push_back("--any-size");
    const json indexed = Query(database, options);
    options.push_back("--exact");
    EXPECT_EQ(Query(database, options)["matches"], indexed["matches"]);
    const std::vector<SignatureMatch> matches = resident.Neighbours(*resident.IdOf(entry), 4, SignatureMetric(anySize));
    ASSERT_EQ(indexed["matches"].size(), matches.size());
    for (std::size_t k = 0; k < matches.size(); ++k) {
      EXPECT_EQ(indexed["matches"][k]["file"], resident.PathOf(matches[k].id));
      EXPECT_EQ(indexed["matches"][k]["distance"]["combined"].get<double>(), matches[k].distance.combined);
    }
  }

  // An index that does not match its catalog is built again, with a note, never used.
  std::filesystem::remove(folder + "/box.stl");
  std::filesystem::copy_file(database + ".sized.hnsw", directory.Path("old.hnsw"));
  ASSERT_EQ(RunCommand(geosig, {"index", folder, "--db", database}).exitStatus, 0);
  std::filesystem::copy_file(directory.Path("old.hnsw"), database + ".sized.hnsw",
                             std::filesystem::copy_options::overwrite_existing);
  const CommandResult rebuilt = RunCommand(geosig, {"query", "--db", database, "--entry", entry, "--json"});
  ASSERT_EQ(rebuilt.exitStatus, 0) << rebuilt.err;
  EXPECT_NE(rebuilt.err.find("files do not match: built for 6 parts"), std::string::npos) << rebuilt.err;
  EXPECT_EQ(json::parse(rebuilt.out)["files"][0]["matches"].size(), 5u);
  EXPECT_EQ(RunCommand(geosig, {"query", "--db", database, "--entry", entry}).err, "");
}

TEST(SearchCommands, BadInputGetsOneLineAndItsStatus) {
  TemporaryDirectory directory;
  WriteBinaryStl(directory.Path("box.stl"), scene::Box({0, 0, 0}, {1, 2, 3}));
  const std::string database = directory.Path("catalog.db");
  ASSERT_EQ(RunCommand(geosig, {"index", directory.Path("box.stl"), "--db", database}).exitStatus, 0);
  const std::string box = directory.Path("box.stl");

  ExpectRefused(RunCommand(geosig, {"query", "--db", directory.Path("none.db"), box}), 4, "no such catalog");
  const std::string text = directory.Write("text.db", std::string(4096, 'x'));
  ExpectRefused(RunCommand(geosig, {"query", "--db", text, box}), 4, "not a catalog (or corrupt)");
  ExpectRefused(RunCommand(geosig, {"duplicates", "--db", text}), 4, "not a catalog (or corrupt)");
  ExpectRefused(RunCommand(geosig, {"index", box, "--db", text}), 4, "not a catalog (or corrupt)");
  ExpectRefused(RunCommand(geosig, {"query", "--db", database, directory.Path("missing.stl")}), 1, "missing.stl");
  ExpectRefused(RunCommand(geosig, {"query", "--db", database, "--entry", directory.Path("other.stl")}), 1,
                "not indexed");
  for (const std::string k : {"0", "-3"}) {
    ExpectRefused(RunCommand(geosig, {"query", "--db", database, box, "-k", k}), 2, "-k must be at least 1");
    ExpectRefused(RunCommand(geosig, {"neighbours", "--db", database, "-k", k, "-o", directory.Path("n.jsonl")}), 2,
                  "-k must be at least 1");
  }
  EXPECT_FALSE(std::filesystem::exists(directory.Path("n.jsonl")));
}

}  // namespace
