#pragma once
// `geosig query --db CATALOG (FILE | --entry PATH) [-k 10] [--any-size] [--mirrors flag|exclude] [--exact] [--json]
// [--html OUT.html]`: the k indexed parts most similar to a model file, or to a part already in the catalog
// (which is then left out of the answer), nearest first, with the combined distance and its parts, the size
// ratio and whether the match is a mirror image; with --html also a page showing the query and its matches
// side by side, each read from its file.
#include <CLI/CLI.hpp>

#include <cstddef>
#include <string>
#include <vector>

#include "CatalogSearch.h"
#include "ImportOptions.h"
#include "ViewedFile.h"
#include "WorkerPool.h"

class QueryCommand {
 public:
  explicit QueryCommand(CLI::App& ioApp);

  int Run() const;

 private:
  // Writes the page of iQuery (the path its view reads) and iMatches; false after the one-line error when the page
  // cannot be written. A match that cannot be read gets a line on standard error and its reason in its view.
  bool WritePage(const CatalogSearch& iSearch, const std::string& iQuery,
                 const std::vector<SignatureMatch>& iMatches) const;

  std::string _database;
  std::string _file;
  std::string _entry;
  int _count = 10;
  bool _anySize = false;
  bool _exact = false;
  MirrorPolicy _mirrors = MirrorPolicy::Flag;
  bool _json = false;
  std::string _html;
  unsigned int _depth = 0;  // no voxels
  std::size_t _displayTriangles = ViewedFile::MatchDisplayTriangles;
  ImportOptions _options;
  WorkerLimits _limits;
};
