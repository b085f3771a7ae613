// End-to-end tests of `geosig query --html`: the page shows the query and each match with the rank, distance
// and path the text output gives; a match that can no longer be read costs only its own view; a query that
// cannot be read, or a page that cannot be written, leaves no page.
#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <sstream>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"
#include "ViewerPageData.h"

namespace {

using nlohmann::json;

// A catalog of four samples copied into the directory's "parts" folder.
std::string SampleCatalog(const TemporaryDirectory& iDirectory) {
  std::filesystem::create_directories(iDirectory.Path("parts"));
  for (const char* name : {"peg.stl", "peg.step", "blocks.step", "brick.obj"})
    std::filesystem::copy_file(Sample(name), iDirectory.Path("parts/") + name);
  const std::string database = iDirectory.Path("catalog.db");
  EXPECT_EQ(RunCommand(geosig, {"index", iDirectory.Path("parts"), "--db", database}).exitStatus, 0);
  return database;
}

std::vector<std::string> Lines(const std::string& iText) {
  std::vector<std::string> lines;
  std::istringstream stream(iText);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(QueryPage, ShowsTheQueryThenEachMatchAsTheTextOutputRanksIt) {
  TemporaryDirectory directory;
  const std::string database = SampleCatalog(directory);
  const std::string query = Sample("peg.obj"), page = directory.Path("query.html");
  const std::vector<std::string> arguments = {"query", "--db", database, query, "-k", "3"};
  const CommandResult plain = RunCommand(geosig, arguments);
  std::vector<std::string> withPage = arguments;
  withPage.insert(withPage.end(), {"--html", page, "--display-triangles", "50", "--depth", "3"});
  const CommandResult result = RunCommand(geosig, withPage);
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, plain.out + "written " + page + "\n");

  const json models = ViewerPageData(FileContents(page))["models"];
  ASSERT_EQ(models.size(), 4u);
  EXPECT_EQ(models[0]["title"], query);
  EXPECT_EQ(models[0]["caption"], "query");
  EXPECT_EQ(models[0]["query"], true);
  const std::vector<std::string> lines = Lines(plain.out);
  ASSERT_EQ(lines.size(), 3u);
  for (std::size_t rank = 1; rank <= 3; ++rank) {
    const json& match = models[rank];
    const std::string caption = match["caption"], prefix = "#" + std::to_string(rank) + "  distance ";
    ASSERT_EQ(caption.rfind(prefix, 0), 0u) << caption;
    std::ostringstream line;
    line << std::setw(3) << rank << "  " << caption.substr(prefix.size()) << "  " << match["title"].get<std::string>();
    EXPECT_EQ(lines[rank - 1], line.str());
    EXPECT_FALSE(match.contains("query"));
  }
  for (const json& model : models) {
    EXPECT_LE(model["mesh"]["triangles"].get<int>(), 50);
    EXPECT_EQ(model["voxels"]["depth"], 3);
  }
  // Without --depth, no voxels: the page stays light.
  withPage.resize(arguments.size() + 2);
  ASSERT_EQ(RunCommand(geosig, withPage).exitStatus, 0);
  const json light = ViewerPageData(FileContents(page));
  for (const json& model : light["models"]) EXPECT_EQ(model["voxels"], nullptr);
}

TEST(QueryPage, MatchesThatCannotBeReadGiveTheirReasonAndThePageIsStillWritten) {
  TemporaryDirectory directory;
  const std::string database = SampleCatalog(directory);
  const std::string vanished = directory.Path("parts/peg.stl"), damaged = directory.Path("parts/brick.obj");
  std::filesystem::remove(vanished);
  directory.Write("parts/brick.obj", "f 1 2 3\n");
  const std::string page = directory.Path("query.html");
  // The query's own file gone too: its signature is in the catalog, so the matches still stand.
  const CommandResult result =
      RunCommand(geosig, {"query", "--db", database, "--entry", vanished, "-k", "3", "--html", page, "--json"});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(json::parse(result.out)["files"][0]["matches"].size(), 3u);
  std::map<std::string, std::string> unreadable;
  const json data = ViewerPageData(FileContents(page));
  for (const json& model : data["models"])
    if (model.contains("unreadable")) unreadable[model["title"]] = model["unreadable"];
  ASSERT_EQ(unreadable.size(), 2u);
  EXPECT_NE(unreadable[vanished].find("no such file"), std::string::npos) << unreadable[vanished];
  EXPECT_FALSE(unreadable[damaged].empty());
  for (const std::string& path : {vanished, damaged})
    EXPECT_NE(result.err.find("geosig: " + path + ": "), std::string::npos) << result.err;
}

TEST(QueryPage, UnreadableQueryOrUnwritablePageLeavesNoPage) {
  TemporaryDirectory directory;
  const std::string database = SampleCatalog(directory);
  const std::string missing = directory.Path("missing.stl"), page = directory.Path("query.html");
  ExpectFileFailure(RunCommand(geosig, {"query", "--db", database, missing, "--html", page}), missing, "no such file");
  const std::string unwritable = directory.Path("no/such/dir/query.html");
  ExpectFileFailure(RunCommand(geosig, {"query", "--db", database, Sample("brick.obj"), "--html", unwritable}),
                    unwritable, "cannot be created");
  EXPECT_EQ(RunCommand(geosig, {"query", "--db", database, Sample("brick.obj"), "--depth", "3"}).exitStatus, 2);
  EXPECT_FALSE(std::filesystem::exists(page));
  EXPECT_FALSE(std::filesystem::exists(directory.Path("no")));
}

}  // namespace
