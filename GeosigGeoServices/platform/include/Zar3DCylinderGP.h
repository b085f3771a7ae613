#pragma once
// A tessellated cylinder.
#include "Zar3DBoundingGP.h"

class Zar3DCylinderGP : public Zar3DBoundingGP {
 public:
  using Zar3DBoundingGP::Zar3DBoundingGP;
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DCylinderGP() override = default;
};
