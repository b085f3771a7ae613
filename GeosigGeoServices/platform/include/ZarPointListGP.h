#pragma once
// A primitive made of a list of points (x, y, z each): lines, edges, markers.
#include <vector>

#include "ZarGraphicPrimitive.h"

class ZarPointListGP : public ZarGraphicPrimitive {
 public:
  const std::vector<float>& Points() const { return _points; }
  int PointCount() const { return static_cast<int>(_points.size() / 3); }
  void ExtendBounds(ZarBoundsf& iBounds) const override { iBounds.AddPoints(_points.data(), _points.size()); }

 protected:
  // Fails (std::invalid_argument) on a length that is not a multiple of 3 or a non-finite value.
  explicit ZarPointListGP(std::vector<float> iPoints);
  ~ZarPointListGP() override = default;

 private:
  std::vector<float> _points;
};
