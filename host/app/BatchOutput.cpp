#include "BatchOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "FileRecord.h"

static std::runtime_error SystemFailure(const std::string& iWhat) {
  return std::runtime_error(iWhat + ": " + std::strerror(errno));
}

BatchOutput::BatchOutput(const std::string& iPath, bool iResume) {
  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (iResume ? 0 : O_TRUNC);
  _file = open(iPath.c_str(), flags, 0666);
  if (_file < 0) throw SystemFailure("cannot be opened");
  try {
    if (iResume) KeepCompleteRecords();
    if (lseek(_file, 0, SEEK_END) < 0) throw SystemFailure("cannot be positioned");
  } catch (...) {
    close(_file);
    throw;
  }
}

BatchOutput::~BatchOutput() { close(_file); }

// True when iText, the end of a file after its last line end, is the start of a record that
// was being written when a batch was stopped: an object cut off before it was complete.
static bool IsTornRecord(const std::string& iText) {
  if (iText.empty() || iText[0] != '{') return false;
  try {
    return Report::parse(iText).is_object();  // complete but for its line end
  } catch (const Report::parse_error& failure) {
    return failure.byte == iText.size() + 1;  // the text ran out, nothing in it was wrong
  } catch (const Report::exception&) {
    return false;  // something in it was wrong, such as a number too large for a double
  }
}

void BatchOutput::KeepCompleteRecords() {
  std::string content;
  char buffer[1 << 16];
  for (ssize_t n; (n = read(_file, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      throw SystemFailure("cannot be read");
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  const std::size_t kept = content.rfind('\n') + 1;  // 0 when there is no complete line
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < kept;) {
    const std::size_t end = content.find('\n', start);
    ++lineNumber;
    const Report record = Report::parse(content.begin() + static_cast<std::ptrdiff_t>(start),
                                        content.begin() + static_cast<std::ptrdiff_t>(end), nullptr, false);
    if (!record.is_object() || !record.contains("file") || !record["file"].is_string())
      throw std::runtime_error("line " + std::to_string(lineNumber) + " is not a batch record");
    _recorded.insert(RecordedPath(record));
    start = end + 1;
  }
  // Only a file known to be a batch output is changed.
  if (kept == content.size()) return;
  if (!IsTornRecord(content.substr(kept)))
    throw std::runtime_error("line " + std::to_string(lineNumber + 1) + " is not a batch record");
  if (ftruncate(_file, static_cast<off_t>(kept)) != 0) throw SystemFailure("its partial last line cannot be cut off");
}

void BatchOutput::Append(const std::string& iRecord) {
  const std::string line = iRecord + '\n';
  const std::lock_guard<std::mutex> lock(_writing);
  for (std::size_t written = 0; written < line.size();) {
    const ssize_t n = write(_file, line.data() + written, line.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw SystemFailure("cannot be written");
    }
    written += static_cast<std::size_t>(n);
  }
}
