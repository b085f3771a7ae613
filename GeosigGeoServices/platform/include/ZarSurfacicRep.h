#pragma once
// A representation holding graphic primitives (its geometric elements), at one or more
// levels of detail; level 0 is the finest and the one the elements accessors address.
// Each level may state its sag (its largest deviation from the true surface), which the
// render weighs when it chooses the level to draw.
#include <vector>

#include "Zar3DRep.h"
#include "ZarGraphicPrimitive.h"

class ZarSurfacicRep : public Zar3DRep {
  ZAR_DECLARE_CLASS

 public:
  // Null when memory runs out. The caller holds the one reference.
  static ZarSurfacicRep* CreateRep();

  // The representation takes a reference to the primitive. Levels are added in order:
  // iLevel may be an existing level or the next one.
  HRESULT AddPrimitive(ZarGraphicPrimitive& iPrimitive, int iLevel = 0);
  int GetLODCount() const { return static_cast<int>(_levels.size()); }
  // A level whose sag was never set is never preferred to a finer one.
  HRESULT SetLevelSag(int iLevel, float iSag);

  int GetGeomElementCount() const;
  // Null outside 0..count-1.
  ZarGraphicPrimitive* GetGeomElement(int iIndex) const;

  HRESULT SetEditMode(int iMode);
  int GetEditMode() const { return _editMode; }

 protected:
  ZarSurfacicRep() = default;
  ~ZarSurfacicRep() override;
  Zar3DBoundingSphere ComputeBoundingSphere() override;
  void AcceptContent(ZarRender& iRender) override;

 private:
  std::vector<std::vector<ZarGraphicPrimitive*>> _levels;
  std::vector<float> _levelSags;
  int _editMode = 0;
};
