#pragma once
// Why a use case of the application layer stopped, of a kind its callers tell apart: the command line gives each
// kind its exit status (host/cli/CommandFailure), the Python module its exception (python/geosig/_failures.py).
// What failed (a file, a catalog, a command) and the reason are kept apart, so that each caller can word them its
// own way; what() joins them as the command line prints them.
#include <stdexcept>
#include <string>

class AppFailure : public std::runtime_error {
 public:
  enum class Kind {
    File,     // a file could not be read, described or written
    Usage,    // the request itself is wrong: no path given, a value out of range
    Catalog,  // a catalog database is missing, damaged, of a newer schema, or cannot be written
  };

  // iSubject names what failed; empty when iReason says it.
  AppFailure(Kind iKind, const std::string& iSubject, const std::string& iReason);

  Kind FailureKind() const { return _kind; }
  const std::string& Subject() const { return _subject; }
  const std::string& Reason() const { return _reason; }

 private:
  Kind _kind;
  std::string _subject;
  std::string _reason;
};
