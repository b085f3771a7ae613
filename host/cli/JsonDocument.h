#pragma once
// The one JSON envelope of the geosig commands (new commands use it too): the document a
// command writes with --json, {"schema": "geosig-COMMAND", "version": N, "files": [...]}, one
// entry per file, written when the run ends.
#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

#include "ReportValues.h"

class JsonDocument {
 public:
  // iCommand names the schema ("describe" gives "geosig-describe"); iVersion is its version.
  JsonDocument(const std::string& iCommand, int iVersion);

  // The --json flag, with its help text, setting ioJson; ioJson must outlive the parse.
  static void AddFlag(CLI::App& ioCommand, bool& ioJson);

  void Add(Report iFileEntry);
  // The document, indented, and a line end.
  void Write(std::ostream& ioStream) const;

 private:
  Report _document;
};
