// End-to-end tests of `geosig batch`: a catalog of good and bad files, threads, and a batch
// killed half way then resumed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "BackgroundCommand.h"
#include "CommandRunner.h"
#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

std::vector<std::string> Lines(const std::string& iText) {
  std::vector<std::string> lines;
  std::istringstream stream(iText);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The records of a batch output by file; each file must come once.
std::map<std::string, json> RecordsByFile(const std::string& iPath) {
  std::map<std::string, json> records;
  for (const std::string& line : Lines(FileContents(iPath))) {
    json record = json::parse(line);
    const std::string file = record["file"];
    EXPECT_TRUE(records.emplace(file, std::move(record)).second) << "twice: " << file;
  }
  return records;
}

void CopySample(const std::string& iSample, const std::string& iTo) {
  std::filesystem::create_directories(std::filesystem::path(iTo).parent_path());
  std::filesystem::copy_file(samples + "/" + iSample, iTo);
}

TEST(BatchCommand, MixedCatalogGivesOneRecordPerFileAsDescribeDoesWhateverTheJobs) {
  TemporaryDirectory directory;
  const std::string catalog = directory.Path("catalog");
  CopySample("peg.stl", catalog + "/peg.stl");
  CopySample("brick.obj", catalog + "/brick.obj");
  CopySample("blocks.glb", catalog + "/parts/blocks.glb");
  CopySample("peg.step", catalog + "/parts/peg.step");
  CopySample("peg.igs", catalog + "/parts/deeper/peg.igs");
  const std::string step = FileContents(samples + "/blocks.step"), stl = FileContents(samples + "/peg.stl");
  directory.Write("catalog/empty.obj", "");
  directory.Write("catalog/parts/cut.step", step.substr(0, step.size() / 2));
  directory.Write("catalog/parts/cut.stl", stl.substr(0, stl.size() / 2));
  directory.Write("catalog/points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
  directory.Write("catalog/notes.txt", "not a model, not in the catalog\n");

  std::map<std::string, json> byJobs[2];
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    const std::string output = directory.Path("out" + std::to_string(jobs) + ".jsonl");
    const CommandResult result = RunCommand(geosig, {"batch", catalog, "-o", output, "--jobs", std::to_string(jobs)});
    EXPECT_EQ(result.exitStatus, 1);  // some files failed
    EXPECT_EQ(result.out, "");        // quiet off a terminal
    EXPECT_EQ(result.err, "");
    byJobs[jobs - 1] = RecordsByFile(output);
    EXPECT_EQ(byJobs[jobs - 1].size(), 9u);
  }
  EXPECT_EQ(byJobs[0], byJobs[1]);

  std::vector<std::string> arguments = {"describe", "--json"};
  for (const auto& entry : byJobs[0]) arguments.push_back(entry.first);
  const json described = json::parse(RunCommand(geosig, arguments).out)["files"];
  ASSERT_EQ(described.size(), 9u);
  int errors = 0;
  for (const json& file : described) {
    EXPECT_EQ(byJobs[0][file["file"]], file);
    errors += file.contains("error");
  }
  EXPECT_EQ(errors, 4);
}

TEST(BatchCommand, KilledBatchResumesWithoutLosingOrRepeatingAFile) {
  TemporaryDirectory directory;
  const std::string catalog = directory.Path("catalog");
  const int copies = 16;
  for (int k = 0; k < copies; ++k)
    for (const char* sample : {"peg.step", "blocks.step", "peg.stl"})
      CopySample(sample, catalog + "/" + std::to_string(k) + "-" + sample);
  const std::string output = directory.Path("out.jsonl");

  std::string beforeKill;
  {
    BackgroundCommand batch(geosig, {"batch", catalog, "-o", output, "--jobs", "1"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (batch.IsRunning() && Lines(FileContents(output)).size() < 3 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(batch.IsRunning()) << "the batch ended before it could be stopped";
    batch.Kill();
    beforeKill = FileContents(output);
  }
  const std::size_t finished = Lines(beforeKill).size();
  ASSERT_GE(finished, 3u);
  ASSERT_LT(finished, 3u * copies);
  // As if the kill had come in the middle of writing a record.
  directory.Write("out.jsonl", beforeKill + "{\"file\":\"" + catalog + "/");

  const CommandResult resumed = RunCommand(geosig, {"batch", catalog, "-o", output, "--jobs", "2", "--resume"});
  EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
  const std::string after = FileContents(output);
  EXPECT_EQ(after.compare(0, beforeKill.size(), beforeKill), 0);  // what was done stays as it was
  const std::map<std::string, json> records = RecordsByFile(output);
  EXPECT_EQ(records.size(), 3u * copies);
  for (const auto& [file, record] : records) EXPECT_TRUE(record.contains("descriptors")) << record;
}

TEST(BatchCommand, BadCommandLinesAndOutputsFailBeforeAnyRecord) {
  TemporaryDirectory directory;
  const std::string peg = samples + "/peg.stl";
  EXPECT_EQ(RunCommand(geosig, {"batch", "-o", directory.Path("out.jsonl")}).exitStatus, 2);
  EXPECT_EQ(RunCommand(geosig, {"batch", peg}).exitStatus, 2);
  EXPECT_EQ(RunCommand(geosig, {"batch", peg, "-o", directory.Path("out.jsonl"), "--jobs", "0"}).exitStatus, 2);

  const std::string missingDirectory = directory.Path("no/out.jsonl");
  const CommandResult unwritable = RunCommand(geosig, {"batch", peg, "-o", missingDirectory});
  EXPECT_EQ(unwritable.exitStatus, 1);
  EXPECT_EQ(unwritable.err.rfind("geosig: " + missingDirectory + ": cannot be opened", 0), 0u) << unwritable.err;

  const std::string foreign = directory.Write("foreign.jsonl", "{\"file\":\"a\"}\nsomething else\n");
  const CommandResult refused = RunCommand(geosig, {"batch", peg, "-o", foreign, "--resume"});
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_EQ(refused.err, "geosig: " + foreign + ": line 2 is not a batch record\n");
  EXPECT_EQ(FileContents(foreign), "{\"file\":\"a\"}\nsomething else\n");

  std::filesystem::create_directories(directory.Path("nothing"));
  directory.Write("nothing/readme.txt", "no model here");
  const CommandResult empty = RunCommand(geosig, {"batch", directory.Path("nothing"), "-o", directory.Path("o.jsonl")});
  EXPECT_EQ(empty.exitStatus, 1);
  EXPECT_EQ(empty.err, "geosig: batch: no model file found\n");
  const CommandResult noList =
      RunCommand(geosig, {"batch", "--list", directory.Path("list.txt"), "-o", directory.Path("o.jsonl")});
  EXPECT_EQ(noList.exitStatus, 1);
  EXPECT_EQ(noList.err, "geosig: " + directory.Path("list.txt") + ": the list cannot be read\n");
  EXPECT_FALSE(std::filesystem::exists(directory.Path("o.jsonl")));
}

}  // namespace
