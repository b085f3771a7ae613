#include "CommandFailure.h"

#include <exception>
#include <iostream>
#include <new>

#include "ExitStatus.h"
#include "ImportError.h"

std::string CurrentFailureReason() {
  try {
    throw;
  } catch (const ImportError& failure) {
    return failure.Reason();
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "unexpected failure";
  }
}

int ReportFileFailure(const std::string& iPath, const std::string& iReason) {
  std::cerr << "geosig: " << iPath << ": " << iReason << '\n';
  return ExitStatus::FileFailed;
}
