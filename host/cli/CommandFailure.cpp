#include "CommandFailure.h"

#include <iostream>

#include "CatalogError.h"
#include "ExitStatus.h"

int ReportFileFailure(const std::string& iPath, const std::string& iReason) {
  std::cerr << "geosig: " << iPath << ": " << iReason << '\n';
  return ExitStatus::FileFailed;
}

int ExitStatusOf(AppFailure::Kind iKind) {
  switch (iKind) {
    case AppFailure::Kind::File: return ExitStatus::FileFailed;
    case AppFailure::Kind::Usage: return ExitStatus::Usage;
    case AppFailure::Kind::Catalog: return ExitStatus::CatalogFailed;
  }
  return ExitStatus::FileFailed;
}

int ReportCommandFailure(const std::string& iCommand) {
  try {
    throw;
  } catch (const AppFailure& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatusOf(failure.FailureKind());
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatusOf(AppFailure::Kind::Catalog);
  } catch (...) {
    std::cerr << "geosig: " << iCommand << ": " << CurrentFailureReason() << '\n';
    return ExitStatusOf(AppFailure::Kind::File);
  }
}
