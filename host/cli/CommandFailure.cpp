#include "CommandFailure.h"

#include <iostream>

#include "ExitStatus.h"

int ReportFileFailure(const std::string& iPath, const std::string& iReason) {
  std::cerr << "geosig: " << iPath << ": " << iReason << '\n';
  return ExitStatus::FileFailed;
}
