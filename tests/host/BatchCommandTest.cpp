// End-to-end tests of `geosig batch`: a catalog of good and bad files, threads, and a batch
// killed half way then resumed.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <sstream>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"
#include "TooDeepDirectories.h"

namespace {

using nlohmann::json;

// The records of a batch output by file; each file must come once.
std::map<std::string, json> RecordsByFile(const std::string& iText) {
  std::map<std::string, json> records;
  std::istringstream lines(iText);
  for (std::string line; std::getline(lines, line);) {
    json record = json::parse(line);
    EXPECT_TRUE(records.emplace(record["file"], record).second) << "twice: " << record["file"];
  }
  return records;
}

TEST(BatchCommand, MixedCatalogGivesOneRecordPerFileAsDescribeDoesWhateverTheJobs) {
  TemporaryDirectory directory;
  for (const std::string sample :
       {"peg.stl", "brick.obj", "parts/blocks.glb", "parts/peg.step", "parts/deeper/peg.igs"})
    directory.Write("catalog/" + sample, FileContents(Sample(std::filesystem::path(sample).filename())));
  const std::string step = FileContents(Sample("blocks.step"));
  directory.Write("catalog/parts/cut.step", step.substr(0, step.size() / 2));
  directory.Write("catalog/empty.obj", "");
  directory.Write("catalog/notes.txt", "not a model, not in the catalog\n");

  // The second run starts the output afresh.
  const std::string output = directory.Path("out.jsonl");
  std::map<std::string, json> byJobs[2];
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    const CommandResult result =
        RunCommand(geosig, {"batch", directory.Path("catalog"), "-o", output, "--jobs", std::to_string(jobs)});
    EXPECT_EQ(result.exitStatus, 1);         // some files failed
    EXPECT_EQ(result.out + result.err, "");  // quiet off a terminal
    byJobs[jobs - 1] = RecordsByFile(FileContents(output));
    EXPECT_EQ(byJobs[jobs - 1].size(), 7u);
  }
  EXPECT_EQ(byJobs[0], byJobs[1]);

  std::vector<std::string> arguments = {"describe", "--json"};
  for (const auto& entry : byJobs[0]) arguments.push_back(entry.first);
  const json described = json::parse(RunCommand(geosig, arguments).out)["files"];
  ASSERT_EQ(described.size(), 7u);
  for (const json& file : described) EXPECT_EQ(byJobs[0][file["file"]], file);
  const std::string empty = directory.Path("catalog/empty.obj");
  EXPECT_EQ(byJobs[0][empty], json({{"file", empty}, {"error", "empty file"}}));
}

TEST(BatchCommand, KilledBatchResumesWithoutLosingOrRepeatingAFile) {
  TemporaryDirectory directory;
  const int copies = 16;
  for (int k = 0; k < copies; ++k)
    for (const char* sample : {"peg.step", "blocks.step", "peg.stl"})
      directory.Write("catalog/" + std::to_string(k) + "-" + sample, FileContents(Sample(sample)));
  const std::string catalog = directory.Path("catalog"), output = directory.Path("out.jsonl");

  // Killed once three records are written, or after a minute.
  RunCommand("/bin/sh", {"-c",
                         "\"$0\" batch \"$1\" -o \"$2\" --jobs 1 & i=0; while [ $i -lt 6000 ] && "
                         "[ \"$(cat \"$2\" 2>/dev/null | wc -l)\" -lt 3 ]; do sleep 0.01; i=$((i+1)); done; kill -9 $!",
                         geosig, catalog, output});
  const std::string beforeKill = FileContents(output);
  const auto finished = static_cast<std::size_t>(std::count(beforeKill.begin(), beforeKill.end(), '\n'));
  ASSERT_GE(finished, 3u);
  ASSERT_LT(finished, 3u * copies) << "the batch ended before it could be stopped";
  // As if the kill had come in the middle of writing a record.
  directory.Write("out.jsonl", beforeKill + "{\"file\":\"" + catalog + "/");

  const CommandResult resumed = RunCommand(geosig, {"batch", catalog, "-o", output, "--jobs", "2", "--resume"});
  EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
  const std::string after = FileContents(output);
  EXPECT_EQ(after.compare(0, beforeKill.size(), beforeKill), 0);  // what was done stays as it was
  const std::map<std::string, json> records = RecordsByFile(after);
  EXPECT_EQ(records.size(), 3u * copies);
  for (const auto& [file, record] : records) EXPECT_TRUE(record.contains("descriptors")) << record;
}

TEST(BatchCommand, DirectoryThatCannotBeWalkedGetsOneRecordAndFailsTheBatchResumedOrNot) {
  TemporaryDirectory directory;
  directory.Write("catalog/peg.stl", FileContents(Sample("peg.stl")));
  std::filesystem::create_directories(directory.Path("catalog/deep"));
  const TooDeepDirectories deep(directory.Path("catalog/deep"), PATH_MAX);
  const std::string catalog = directory.Path("catalog"), output = directory.Path("out.jsonl");
  for (const bool resume : {false, true}) {
    std::vector<std::string> arguments = {"batch", catalog, "-o", output};
    if (resume) arguments.push_back("--resume");
    const CommandResult run = RunCommand(geosig, arguments);
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    const std::map<std::string, json> records = RecordsByFile(FileContents(output));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records.at(catalog + "/peg.stl").contains("descriptors"));
    const auto unwalked = std::find_if(records.begin(), records.end(),
                                       [](const auto& iRecord) { return iRecord.second.contains("error"); });
    ASSERT_NE(unwalked, records.end());
    EXPECT_EQ(unwalked->first.rfind(directory.Path("catalog/deep"), 0), 0u) << unwalked->first;
    EXPECT_EQ(unwalked->second["error"], "cannot be walked: File name too long");
  }
}

TEST(BatchCommand, FileNameThatIsNotUtf8IsRecordedReadablyAndExactlyAndResumed) {
  TemporaryDirectory directory;
  // Latin-1 "café": the byte E9 alone is not UTF-8.
  const std::string name = "caf\xe9.stl";
  directory.Write("catalog/" + name, FileContents(Sample("peg.stl")));
  // Run inside the catalog, so that the path named is the same on every machine.
  const auto inCatalog = [&](std::vector<std::string> iArguments) {
    iArguments.insert(iArguments.begin(),
                      {"-c", "cd \"$1\" && shift && exec \"$@\"", "sh", directory.Path("catalog"), geosig});
    return RunCommand("/bin/sh", iArguments);
  };

  const CommandResult described = inCatalog({"describe", "--json", name});
  ASSERT_EQ(described.exitStatus, 0) << described.err;
  const json record = json::parse(described.out)["files"][0];
  EXPECT_EQ(record["file"], "caf\xef\xbf\xbd.stl");  // U+FFFD in place of the byte
  EXPECT_EQ(record["fileBytes"], "Y2Fm6S5zdGw=");    // the exact bytes in base64
  EXPECT_EQ(record["descriptors"]["triangles"], 256);

  ASSERT_EQ(inCatalog({"batch", name, "-o", "../out.jsonl"}).exitStatus, 0);
  const std::string lines = FileContents(directory.Path("out.jsonl"));
  EXPECT_EQ(json::parse(lines), record);
  // The exact path comes back from the record: nothing is left to describe again.
  const CommandResult resumed = inCatalog({"batch", name, "-o", "../out.jsonl", "--resume"});
  EXPECT_EQ(resumed.exitStatus, 0) << resumed.err;
  EXPECT_EQ(FileContents(directory.Path("out.jsonl")), lines);
}

TEST(BatchCommand, BadCommandLinesAndOutputsFailBeforeAnyRecord) {
  TemporaryDirectory directory;
  const std::string peg = Sample("peg.stl"), output = directory.Path("o.jsonl");
  EXPECT_EQ(RunCommand(geosig, {"batch", "-o", output}).exitStatus, 2);
  const std::string unwritable = directory.Path("no/out.jsonl");
  ExpectFileFailure(RunCommand(geosig, {"batch", peg, "-o", unwritable}), unwritable, "cannot be opened");

  directory.Write("nothing/readme.txt", "no model here");
  const CommandResult empty = RunCommand(geosig, {"batch", directory.Path("nothing"), "-o", output});
  EXPECT_EQ(empty.exitStatus, 1);
  EXPECT_EQ(empty.err, "geosig: batch: no model file found\n");
  const std::string list = directory.Path("list.txt");
  const CommandResult noList = RunCommand(geosig, {"batch", "--list", list, "-o", output});
  EXPECT_EQ(noList.exitStatus, 1);
  EXPECT_EQ(noList.err, "geosig: " + list + ": the list cannot be read\n");
  EXPECT_FALSE(std::filesystem::exists(output));

  // An output that is one of the models, whatever path names it, is left as it is.
  const std::string model = directory.Write("models/peg.stl", FileContents(peg));
  const std::string sameModel = directory.Path("models/../models/peg.stl");
  for (const bool resume : {false, true}) {
    std::vector<std::string> arguments = {"batch", directory.Path("models"), "-o", sameModel};
    if (resume) arguments.push_back("--resume");
    ExpectFileFailure(RunCommand(geosig, arguments), sameModel, "is one of the models");
  }
  EXPECT_EQ(FileContents(model), FileContents(peg));
}

}  // namespace
