#include "ZarPointListGP.h"

#include <cmath>
#include <stdexcept>

ZarPointListGP::ZarPointListGP(std::vector<float> iPoints) : _points(std::move(iPoints)) {
  if (_points.size() % 3 != 0) throw std::invalid_argument("point list length is not a multiple of 3");
  for (float coordinate : _points)
    if (!std::isfinite(coordinate)) throw std::invalid_argument("point list has a non-finite coordinate");
}
