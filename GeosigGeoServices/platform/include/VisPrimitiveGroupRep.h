#pragma once
// A representation whose geometry is held as visualization primitives: the "slow" kind,
// decoded item by item through virtual calls.
#include <vector>

#include "VisPrimitive.h"
#include "Zar3DRep.h"

class VisPrimitiveGroupRep : public Zar3DRep {
  ZAR_DECLARE_CLASS

 public:
  // Null when memory runs out. The caller holds the one reference.
  static VisPrimitiveGroupRep* CreateRep();
  // The representation takes a reference to the primitive.
  HRESULT AddPrimitive(VisPrimitive& iPrimitive);

 protected:
  VisPrimitiveGroupRep() = default;
  ~VisPrimitiveGroupRep() override;
  Zar3DBoundingSphere ComputeBoundingSphere() override;
  void AcceptContent(ZarRender& iRender) override;

 private:
  std::vector<VisPrimitive*> _primitives;
};
