#include "Outcome.h"

#include <exception>
#include <new>

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
