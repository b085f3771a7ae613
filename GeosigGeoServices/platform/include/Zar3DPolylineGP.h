#pragma once
// A polyline: a line primitive drawn through the render's polyline operation.
#include "Zar3DLineGP.h"

class Zar3DPolylineGP : public Zar3DLineGP {
 public:
  using Zar3DLineGP::Zar3DLineGP;
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DPolylineGP() override = default;
};
