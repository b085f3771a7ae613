#pragma once
// An edge of a B-rep shown as a polyline; analysis ignores it.
#include "ZarPointListGP.h"

class Zar3DEdgeGP : public ZarPointListGP {
 public:
  explicit Zar3DEdgeGP(std::vector<float> iPoints) : ZarPointListGP(std::move(iPoints)) {}
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DEdgeGP() override = default;
};
