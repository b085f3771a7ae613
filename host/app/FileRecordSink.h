#pragma once
// Where a run over model files (ModelFileRun) keeps what became of each file: the JSON lines of a batch
// (BatchRecords) or the entries of a catalog (CatalogUpdate). The sink decides which files are read; the run
// reads them on its executor and hands each outcome back.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "WorkerPool.h"

class FileRecordSink {
 public:
  using PathReasons = std::vector<std::pair<std::string, std::string>>;

  virtual ~FileRecordSink() = default;

  // The files to read, in order: an outcome's index is a position in it.
  virtual const std::vector<std::string>& ToRead() const = 0;
  // Records the files that fail before any reading (they cannot be opened, ...) and returns them with their
  // reasons. Called once, before the first outcome.
  virtual PathReasons RecordUnread() = 0;
  // Records the outcome of ToRead()[iOutcome.index]: the task's payload, or why it failed. Returns the reason
  // the file failed, none when it was recorded as read.
  virtual std::optional<std::string> Record(const WorkerOutcome& iOutcome) = 0;
};
