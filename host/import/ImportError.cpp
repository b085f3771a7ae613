#include "ImportError.h"

#include <algorithm>

// Readers sometimes explain over several lines; the error stays one line.
static std::string OneLine(std::string iText) {
  std::replace(iText.begin(), iText.end(), '\n', ' ');
  std::replace(iText.begin(), iText.end(), '\r', ' ');
  while (!iText.empty() && iText.back() == ' ') iText.pop_back();
  return iText;
}

ImportError::ImportError(const std::string& iPath, const std::string& iReason)
    : std::runtime_error(iPath + ": " + OneLine(iReason)), _path(iPath), _reason(what() + iPath.size() + 2) {}
