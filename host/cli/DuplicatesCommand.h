#pragma once
// `geosig duplicates --db CATALOG [--max-distance D] [--any-size] [--exact] [--json]`: the groups of
// indexed files that are identical (the same fingerprint), and the groups of parts whose
// shapes are near-identical: linked by a combined distance of at most D, each part to its
// ResidentCatalog::LinksPerPart nearest.
#include <CLI/CLI.hpp>

#include <string>

class DuplicatesCommand {
 public:
  explicit DuplicatesCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _database;
  double _maxDistance = 0.05;
  bool _anySize = false;
  bool _exact = false;
  bool _json = false;
};
