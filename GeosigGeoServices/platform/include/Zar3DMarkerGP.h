#pragma once
// Marker symbols at given points; analysis ignores them.
#include "ZarPointListGP.h"

class Zar3DMarkerGP : public ZarPointListGP {
 public:
  explicit Zar3DMarkerGP(std::vector<float> iPoints) : ZarPointListGP(std::move(iPoints)) {}
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DMarkerGP() override = default;
};
