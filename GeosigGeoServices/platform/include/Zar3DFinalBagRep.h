#pragma once
// A bag meant to be specialised: constructed and destroyed only through derived classes.
#include "Zar3DBagRep.h"

class Zar3DFinalBagRep : public Zar3DBagRep {
  ZAR_DECLARE_CLASS

 protected:
  Zar3DFinalBagRep() = default;
  ~Zar3DFinalBagRep() override = default;
};
