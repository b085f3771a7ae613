#pragma once
// The describe records of a batch, kept in its JSON-lines file (BatchOutput) as a run over the files
// (ModelFileRun) hands them over: a file that cannot be described, or whose reader crashed, hung or ran out of
// memory, gets an error record that says which, and so does each directory that could not be walked. A resumed
// batch reads only the files that its output has no record of.
#include <optional>
#include <string>
#include <vector>

#include "BatchOutput.h"
#include "FileRecordSink.h"
#include "ModelFileSet.h"

class BatchRecords : public FileRecordSink {
 public:
  // Opens the output at iPath (with iResume keeping its records) and writes the error record of each directory
  // of iFiles that could not be walked and has none. Throws AppFailure (File, naming iPath) when iPath is one of
  // the files or lists, cannot be opened or written, or holds a line that is not a record.
  BatchRecords(const std::string& iPath, bool iResume, const ModelFileSet& iFiles);

  const std::vector<std::string>& ToRead() const override { return _toRead; }
  PathReasons RecordUnread() override { return {}; }
  // Throws AppFailure (File, naming the output) when the record cannot be written.
  std::optional<std::string> Record(const WorkerOutcome& iOutcome) override;

  // The records kept from an earlier run.
  std::size_t Kept() const { return _kept; }
  // The directories that could not be walked, each with the reason its record gives.
  const PathReasons& Unwalked() const { return _unwalked; }

 private:
  void Append(const std::string& iRecord);

  std::string _path;
  std::optional<BatchOutput> _output;
  std::vector<std::string> _toRead;
  std::size_t _kept = 0;
  PathReasons _unwalked;
};
