// Files that crash, hang or exhaust the readers, made from the samples at test time: every
// command ends with its one-line error or record for them, and the good files beside them are
// described as `describe` describes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

// The lines of iText but the one at iSkipped.
std::string WithoutLine(const std::string& iText, std::size_t iSkipped) {
  std::istringstream lines(iText);
  std::string kept;
  std::size_t index = 0;
  for (std::string line; std::getline(lines, line); ++index)
    if (index != iSkipped) kept += line + '\n';
  return kept;
}

// The index of the iOccurrence-th line (from 0) for which iMatches holds.
template <typename Predicate>
std::size_t LineIndex(const std::string& iText, Predicate iMatches, int iOccurrence = 0) {
  std::istringstream lines(iText);
  std::size_t index = 0;
  for (std::string line; std::getline(lines, line); ++index)
    if (iMatches(line) && iOccurrence-- == 0) return index;
  throw std::runtime_error("no such line");
}

// The damaged files, by what they do to the readers.
struct DamagedCatalog {
  std::string crashingStep, crashingIges, hangingPly, hangingBrep;
};

DamagedCatalog WriteDamagedCatalog(const TemporaryDirectory& iDirectory, const std::string& iFolder) {
  const std::string step = FileContents(Sample("peg.step")), iges = FileContents(Sample("peg.igs"));
  const std::string brep = FileContents(Sample("peg.brep"));
  DamagedCatalog catalog;
  // A face's loop of edges gone: the CAD reader follows a reference to nothing.
  catalog.crashingStep = iDirectory.Write(
      iFolder + "/no-loop.step", WithoutLine(step, LineIndex(step, [](const std::string& iLine) {
                                               return iLine[0] == '#' && iLine.find("EDGE_LOOP") != std::string::npos;
                                             })));
  // The second half of the first directory entry gone.
  catalog.crashingIges = iDirectory.Write(
      iFolder + "/short-entry.igs",
      WithoutLine(iges, LineIndex(
                            iges, [](const std::string& iLine) { return iLine.size() > 72 && iLine[72] == 'D'; }, 1)));
  catalog.hangingPly =
      iDirectory.Write(iFolder + "/cut-header.ply", "ply\nformat binary_little_endian 1.0\nelement vertex 8\nprop");
  catalog.hangingBrep = iDirectory.Write(iFolder + "/cut.brep", brep.substr(0, brep.size() / 2));
  return catalog;
}

// Assimp's own sample of a file whose header asks for billions of vertices, when installed.
const std::string outOfMemoryOff = "/usr/share/assimp/models/invalid/OutOfMemory.off";

TEST(IsolatedReading, DamagedCatalogGivesEveryFileOneRecordSayingWhatWentWrong) {
  TemporaryDirectory directory;
  const DamagedCatalog damaged = WriteDamagedCatalog(directory, "catalog");
  std::vector<std::string> good;
  for (const char* sample : {"peg.stl", "blocks.step", "brick.obj"})
    good.push_back(directory.Write(std::string("catalog/") + sample, FileContents(Sample(sample))));
  // The hanging readers also grow slowly: a memory limit far above what they reach in the time
  // limit keeps each file's reason the same on a loaded machine.
  const CommandResult result =
      RunCommand(geosig, {"batch", directory.Path("catalog"), "-o", directory.Path("out.jsonl"), "--jobs", "4",
                          "--time-limit", "5", "--memory-limit", "8"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out + result.err, "");
  std::map<std::string, json> records;
  std::istringstream lines(FileContents(directory.Path("out.jsonl")));
  for (std::string line; std::getline(lines, line);) {
    const json record = json::parse(line);
    EXPECT_TRUE(records.emplace(record["file"], record).second) << "twice: " << record["file"];
  }
  EXPECT_EQ(records.size(), 7u);
  const std::map<std::string, std::string> expectedErrors = {{damaged.crashingStep, "the reader crashed (signal 11)"},
                                                             {damaged.crashingIges, "the reader crashed (signal 11)"},
                                                             {damaged.hangingPly, "reading took longer than 5 s"},
                                                             {damaged.hangingBrep, "reading took longer than 5 s"}};
  for (const auto& [file, error] : expectedErrors) EXPECT_EQ(records[file], json({{"file", file}, {"error", error}}));

  std::vector<std::string> describeArguments = {"describe", "--json"};
  describeArguments.insert(describeArguments.end(), good.begin(), good.end());
  const json described = json::parse(RunCommand(geosig, describeArguments).out)["files"];
  ASSERT_EQ(described.size(), good.size());
  for (const json& file : described) EXPECT_EQ(records[file["file"]], file);
}

TEST(IsolatedReading, AReaderThatSwellsIsStoppedAtTheMemoryLimit) {
  if (!std::filesystem::exists(outOfMemoryOff)) GTEST_SKIP() << "assimp-testmodels is not installed";
  ExpectFileFailure(RunCommand(geosig, {"count", outOfMemoryOff, "--memory-limit", "0.25"}), outOfMemoryOff,
                    "reading needed more than 0.25 GiB");
}

TEST(IsolatedReading, EveryCommandEndsWithItsOneLineErrorWhenTheReaderCrashesOrHangs) {
  TemporaryDirectory directory;
  const DamagedCatalog damaged = WriteDamagedCatalog(directory, "damaged");
  const std::string crashed = "the reader crashed (signal 11)", output = directory.Path("voxels.glb");
  ExpectFileFailure(RunCommand(geosig, {"count", damaged.crashingStep}), damaged.crashingStep, crashed);
  ExpectFileFailure(RunCommand(geosig, {"nearest", damaged.crashingIges, "--line", "0,0,0", "0,0,1"}),
                    damaged.crashingIges, crashed);
  ExpectFileFailure(RunCommand(geosig, {"voxelize", damaged.crashingStep, "--depth", "2", "-o", output}),
                    damaged.crashingStep, crashed);
  EXPECT_FALSE(std::filesystem::exists(output));
  const std::string page = directory.Path("page.html");
  ExpectFileFailure(RunCommand(geosig, {"view", damaged.crashingIges, "-o", page}), damaged.crashingIges, crashed);
  EXPECT_FALSE(std::filesystem::exists(page));
  ExpectFileFailure(RunCommand(geosig, {"count", damaged.hangingPly, "--time-limit", "0.5"}), damaged.hangingPly,
                    "reading took longer than 0.5 s");

  // describe goes on with the next file.
  const std::string peg = Sample("peg.stl");
  const CommandResult described =
      RunCommand(geosig, {"describe", "--json", damaged.hangingBrep, damaged.crashingStep, peg, "--time-limit", "2"});
  EXPECT_EQ(described.exitStatus, 1);
  EXPECT_EQ(described.err, "geosig: " + damaged.hangingBrep + ": reading took longer than 2 s\ngeosig: " +
                               damaged.crashingStep + ": " + crashed + "\n");
  const json files = json::parse(described.out)["files"];
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[1], json({{"file", damaged.crashingStep}, {"error", crashed}}));
  EXPECT_EQ(files[2], FirstFileReport({"describe", peg}));
}

TEST(IsolatedReading, LimitsMustBePositiveNumbers) {
  for (const char* option : {"--time-limit", "--memory-limit"})
    for (const char* value : {"0", "many"}) {
      const CommandResult result = RunCommand(geosig, {"describe", Sample("peg.stl"), option, value});
      EXPECT_EQ(result.exitStatus, 2) << option << ' ' << value;
      EXPECT_NE(result.err.find("must be a positive number"), std::string::npos) << result.err;
    }
}

}  // namespace
