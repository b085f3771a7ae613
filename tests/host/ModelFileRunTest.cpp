// The run over model files with executors of the test's own: outcomes in any order reach the sink
// by their file, files failed before reading count first, and what the sink throws ends the run.
#include "ModelFileRun.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// Keeps what it is handed; a payload "bad" is recorded as a failure, "unwritable" cannot be kept.
class KeptOutcomes : public FileRecordSink {
 public:
  KeptOutcomes(std::vector<std::string> iToRead, PathReasons iUnread)
      : _toRead(std::move(iToRead)), _unread(std::move(iUnread)) {}

  const std::vector<std::string>& ToRead() const override { return _toRead; }
  PathReasons RecordUnread() override {
    EXPECT_TRUE(kept.empty()) << "the unread files are recorded before any outcome";
    return _unread;
  }
  std::optional<std::string> Record(const WorkerOutcome& iOutcome) override {
    if (iOutcome.value == "unwritable") throw std::runtime_error("no space left");
    kept[_toRead.at(iOutcome.index)] = iOutcome.value;
    if (!iOutcome.succeeded || iOutcome.value == "bad") return iOutcome.value;
    return std::nullopt;
  }

  std::map<std::string, std::string> kept;

 private:
  std::vector<std::string> _toRead;
  PathReasons _unread;
};

// An executor that hands the outcomes over in reverse order, as workers finishing out of turn do.
ModelFileRun::Executor Backwards(const std::vector<WorkerOutcome>& iOutcomes) {
  return [iOutcomes](const std::vector<std::string>& iFiles, const WorkerPool::Collect& iCollect,
                     const WorkerPool::Tick& iTick) {
    EXPECT_EQ(iFiles.size(), iOutcomes.size());
    for (auto outcome = iOutcomes.rbegin(); outcome != iOutcomes.rend(); ++outcome) {
      iCollect(*outcome);
      iTick();
    }
  };
}

}  // namespace

TEST(ModelFileRun, OutcomesReachTheSinkByTheirFileAndFailuresAreCountedAndNoted) {
  KeptOutcomes sink({"a.stl", "b.stl", "c.stl"}, {{"gone.stl", "cannot be opened: Permission denied"}});
  std::vector<std::pair<std::string, std::string>> notes;
  ModelFileRun run(sink, false,
                   [&](const std::string& iPath, const std::string& iReason) { notes.emplace_back(iPath, iReason); });
  run.Run(Backwards({{0, true, "record of a"}, {1, false, "the reader crashed (signal 11)"}, {2, true, "bad"}}));
  EXPECT_EQ(sink.kept, (std::map<std::string, std::string>{
                           {"a.stl", "record of a"}, {"b.stl", "the reader crashed (signal 11)"}, {"c.stl", "bad"}}));
  EXPECT_EQ(run.Done(), 4u);
  EXPECT_EQ(run.Failed(), 3u);
  EXPECT_EQ(notes,
            (std::vector<std::pair<std::string, std::string>>{{"gone.stl", "cannot be opened: Permission denied"},
                                                              {"c.stl", "bad"},
                                                              {"b.stl", "the reader crashed (signal 11)"}}));
}

TEST(ModelFileRun, NothingToReadRunsNoExecutorAndWhatTheSinkThrowsEndsTheRun) {
  KeptOutcomes empty({}, {});
  ModelFileRun idle(empty, false);
  idle.Run([](const std::vector<std::string>&, const WorkerPool::Collect&, const WorkerPool::Tick&) {
    ADD_FAILURE() << "no file to read";
  });
  EXPECT_EQ(idle.Done(), 0u);

  KeptOutcomes full({"a.stl", "b.stl"}, {});
  ModelFileRun stopped(full, false);
  EXPECT_THROW(stopped.Run(Backwards({{0, true, "record of a"}, {1, true, "unwritable"}})), std::runtime_error);
  EXPECT_TRUE(full.kept.empty());
  EXPECT_EQ(stopped.Done(), 0u);
}
