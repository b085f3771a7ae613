#pragma once
// A file written under a temporary name beside its destination and renamed over it only when
// complete, so that a failure, or a program stopped half way, never leaves a partial file
// under the destination's name.
#include <string>

class AtomicOutputFile {
 public:
  // Creates the temporary file. Throws std::runtime_error with the reason when it cannot.
  explicit AtomicOutputFile(const std::string& iPath);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicOutputFile();
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  // Where to write the content.
  const std::string& TemporaryPath() const { return _temporaryPath; }
  // Renames the written file to its destination. Throws std::runtime_error with the reason.
  void Commit();

  // Removes the temporary files for iPath that processes no longer running left behind (a
  // process killed while it wrote).
  static void RemoveAbandoned(const std::string& iPath);

 private:
  std::string _path;
  std::string _temporaryPath;
  bool _committed = false;
};
