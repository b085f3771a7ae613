#pragma once
// `geosig nearest FILE --line X,Y,Z DX,DY,DZ`: the vertex of the model's tessellation nearest
// to an infinite line, its orthogonal projection on the line and its distance. Only vertices
// count: a line through the middle of a large triangle reports the triangle's nearest corner.
#include <CLI/CLI.hpp>

#include <string>

#include "ImportOptions.h"
#include "WorkerPool.h"
#include "ZarMathPoint.h"

class NearestCommand {
 public:
  explicit NearestCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _file;
  ZarMathPoint _origin;
  ZarMathVector _direction;
  bool _json = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
