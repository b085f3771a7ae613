#pragma once
// A pipe swept along a curve, tessellated.
#include "Zar3DBoundingGP.h"

class Zar3DCurvedPipeGP : public Zar3DBoundingGP {
 public:
  using Zar3DBoundingGP::Zar3DBoundingGP;
  void Draw(ZarRender& iRender) override;

 protected:
  ~Zar3DCurvedPipeGP() override = default;
};
