// Files on which the readers' own libraries crash, hang or run out of memory, described by
// `geosig batch`: the readers' collection of test models (Debian's assimp-testmodels, its
// broken files included) and the inputs that fuzzing found to crash a reader (fuzz/contained).
// Whatever a reader does with a file, the file gets one record and nothing of ours trips a
// sanitizer.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "ModelFileSet.h"
#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

// The sanitizer reports in iErrors that come from our code. Reports of memory errors inside
// the readers' own libraries, which are not instrumented, are theirs: the worker that ran the
// reader ends with them and the file gets an error record.
std::vector<std::string> OurSanitizerReports(const std::string& iErrors) {
  std::vector<std::string> ours;
  std::istringstream lines(iErrors);
  bool inReport = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("runtime error:") != std::string::npos) ours.push_back(line);
    if (line.find("ERROR: AddressSanitizer") != std::string::npos ||
        line.find("ERROR: LeakSanitizer") != std::string::npos) {
      inReport = true;
      ours.push_back(line);
    } else if (inReport && line.find("    #0 ") == 0) {
      inReport = false;
      if (line.find("libassimp") != std::string::npos || line.find("libTK") != std::string::npos) ours.pop_back();
    }
  }
  return ours;
}

// Runs `geosig batch` on iDirectory and checks that each model file in it got one record and
// that no sanitizer report of ours was printed; returns the records.
std::map<std::string, nlohmann::json> BatchRecords(const std::string& iDirectory) {
  ModelFileSet files;
  files.AddPath(iDirectory);
  TemporaryDirectory directory;
  const std::string output = directory.Path("records.jsonl");
  const CommandResult result = RunCommand(
      geosig, {"batch", iDirectory, "-o", output, "--jobs", "2", "--time-limit", "60", "--memory-limit", "1"});
  EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << result.exitStatus << '\n' << result.err;
  EXPECT_EQ(OurSanitizerReports(result.err), std::vector<std::string>());

  std::map<std::string, nlohmann::json> records;
  std::istringstream lines(FileContents(output));
  for (std::string line; std::getline(lines, line);) {
    nlohmann::json record = nlohmann::json::parse(line);
    EXPECT_TRUE(records.emplace(record["file"].get<std::string>(), record).second) << line;
  }
  std::set<std::string> recorded;
  for (const auto& entry : records) recorded.insert(entry.first);
  EXPECT_EQ(recorded, std::set<std::string>(files.Files().begin(), files.Files().end()));
  return records;
}

// Without the worker processes' limits one of these files would take the whole batch down (a
// SEGV inside a CAD reader) or grow past 12 GB (invalid/OutOfMemory.off).
TEST(ReaderCorpus, EveryModelOfTheReadersTestCollectionGetsOneRecord) {
  const std::string models = "/usr/share/assimp/models";
  if (!std::filesystem::is_directory(models)) GTEST_SKIP() << "assimp-testmodels is not installed";
  BatchRecords(models);
}

TEST(ReaderCorpus, InputsThatCrashAReaderGetAnErrorRecordEach) {
  for (const auto& [file, record] : BatchRecords(GEOSIG_CONTAINED_DIR)) EXPECT_TRUE(record.contains("error")) << record;
}

}  // namespace
