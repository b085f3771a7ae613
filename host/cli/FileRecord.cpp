#include "FileRecord.h"

Report FileRecord(const std::string& iPath) { return {{"file", iPath}}; }

Report ModelRecord(const std::string& iPath, const std::string& iFormat, const std::vector<std::string>& iWarnings) {
  Report record = FileRecord(iPath);
  record["format"] = iFormat;
  if (!iWarnings.empty()) record["warnings"] = iWarnings;
  return record;
}

Report FailureRecord(const std::string& iPath, const std::string& iReason) {
  Report record = FileRecord(iPath);
  record["error"] = iReason;
  return record;
}
