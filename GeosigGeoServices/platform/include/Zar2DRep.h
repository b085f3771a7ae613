#pragma once
// A 2D representation (annotations, screen overlays): known to the traversal by its box.
#include "ZarBounding.h"
#include "ZarRep.h"

class Zar2DRep : public ZarRep {
  ZAR_DECLARE_CLASS

 public:
  static Zar2DRep* CreateRep(const Zar2DBoundingBox& iBox);
  const Zar2DBoundingBox& GetBoundingBox() const { return _box; }
  void Accept(ZarRender& iRender) override;

 protected:
  explicit Zar2DRep(const Zar2DBoundingBox& iBox) : _box(iBox) {}
  ~Zar2DRep() override = default;

 private:
  Zar2DBoundingBox _box;
};
