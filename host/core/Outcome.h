#pragma once
// Errors as values: what the host API hands back is either its result or the reason there is
// none, so that callers (commands, worker processes, the Python module) decide how to report
// it and no exception crosses the API.
#include <string>
#include <utility>
#include <variant>

// Why a result could not be obtained: one line, without the file's name (callers add it).
struct Failure {
  std::string reason;
};

template <class T>
class Outcome {
 public:
  // Implicit, so that a function returns either its value or a Failure as it is.
  Outcome(T iValue) : _state(std::move(iValue)) {}
  Outcome(Failure iFailure) : _state(std::move(iFailure)) {}

  bool Succeeded() const { return std::holds_alternative<T>(_state); }
  explicit operator bool() const { return Succeeded(); }

  // Requires Succeeded(); throws std::bad_variant_access otherwise.
  const T& Value() const { return std::get<T>(_state); }
  T& Value() { return std::get<T>(_state); }
  const T* operator->() const { return &Value(); }
  // Requires !Succeeded(); throws std::bad_variant_access otherwise.
  const std::string& Reason() const { return std::get<Failure>(_state).reason; }

 private:
  std::variant<T, Failure> _state;
};

// The reason carried by the exception being handled: an import error's reason (without the
// path), "out of memory", or the exception's text. Call it only from a catch block.
std::string CurrentFailureReason();
