#pragma once
// A catalog database that cannot be used: missing, corrupt, of a newer schema, or refused by
// SQLite. The message is one line, naming the reason.
#include <stdexcept>

class CatalogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
