#pragma once
// The JSON-lines file of a batch. Every record is appended with one write, so a batch that is
// stopped loses nothing already finished; a resumed batch keeps the records it finds and
// cuts off a last line that was being written when the batch was killed, and changes nothing
// in a file that is not a batch output.
#include <mutex>
#include <string>
#include <unordered_set>

class BatchOutput {
 public:
  // Creates or empties the file at iPath, or with iResume keeps its complete records. Throws
  // std::runtime_error with the reason when the file cannot be opened or read, or when a
  // line is not a record (a last line without its end may be a record cut off).
  BatchOutput(const std::string& iPath, bool iResume);
  ~BatchOutput();
  BatchOutput(const BatchOutput&) = delete;
  BatchOutput& operator=(const BatchOutput&) = delete;

  // The path that every record kept from an earlier run names (RecordedPath).
  const std::unordered_set<std::string>& RecordedFiles() const { return _recorded; }

  // Appends one record and its line end; several threads may call it. Throws
  // std::runtime_error when the file cannot be written.
  void Append(const std::string& iRecord);

 private:
  // Reads the records already there, then cuts off a record cut off at the end.
  void KeepCompleteRecords();

  int _file = -1;
  std::mutex _writing;
  std::unordered_set<std::string> _recorded;
};
