#pragma once
// A tessellated face known to lie in one plane.
#include "Zar3DFaceGP.h"

class Zar3DPlanarFaceGP : public Zar3DFaceGP {
 public:
  using Zar3DFaceGP::Zar3DFaceGP;
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DPlanarFaceGP() override = default;
};
