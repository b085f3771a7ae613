#pragma once
// `geosig serve --db CATALOG [--host 127.0.0.1] [--port 8080] [--token TOKEN] [--max-upload-mib 256]
// [--readers N]`: the catalog as a web service (JSON API under /api/v1/) with a search page at /, until
// SIGINT or SIGTERM, which let the requests in flight finish and end with status 0. The work is in host/serve.
#include <CLI/CLI.hpp>

#include <cstddef>
#include <string>

#include "WorkerPool.h"

class ServeCommand {
 public:
  explicit ServeCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _database;
  std::string _host = "127.0.0.1";
  int _port = 8080;
  std::string _token;
  std::size_t _maxUploadMib = 256;
  unsigned int _readers;
  double _readerWait = 30;
  std::size_t _displayTriangles;
  WorkerLimits _limits;
};
