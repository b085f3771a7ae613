#pragma once
// `geosig neighbours --db CATALOG -k K -o OUT.jsonl [--any-size] [--exact]`: for every indexed part
// with a signature, its k nearest other parts, one JSON line per part. OUT appears whole or
// not at all.
#include <CLI/CLI.hpp>

#include <string>

class NeighboursCommand {
 public:
  explicit NeighboursCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _database;
  std::string _output;
  int _count = 10;
  bool _anySize = false;
  bool _exact = false;
};
