#include "OverwriteCheck.h"

#include "CommandFailure.h"
#include "FileIdentity.h"

bool RefusesToOverwrite(const std::string& iOutput, const std::vector<std::string>& iInputs) {
  const std::string output = FileIdentity(iOutput);
  for (const std::string& input : iInputs)
    if (FileIdentity(input) == output) {
      ReportFileFailure(iOutput, "is the input " + input + ": it would be overwritten");
      return true;
    }
  return false;
}

std::vector<std::string> CatalogDatabaseFiles(const std::string& iDatabase) {
  return {iDatabase, iDatabase + "-wal", iDatabase + "-shm", iDatabase + "-journal"};
}
