#pragma once
// A file that cannot be turned into a representation tree. The message is one line that
// names the file and the reason: "path: reason".
#include <stdexcept>
#include <string>

class ImportError : public std::runtime_error {
 public:
  ImportError(const std::string& iPath, const std::string& iReason);

  const std::string& Path() const { return _path; }
  const std::string& Reason() const { return _reason; }

 private:
  std::string _path;
  std::string _reason;
};
