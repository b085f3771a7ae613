#pragma once
// A request the service refuses or cannot answer: the HTTP status and the one-line reason that the answer's
// {"error": reason} gives.
#include <stdexcept>
#include <string>

class ApiError : public std::runtime_error {
 public:
  ApiError(int iStatus, const std::string& iReason) : std::runtime_error(iReason), _status(iStatus) {}

  int Status() const { return _status; }

 private:
  int _status;
};
