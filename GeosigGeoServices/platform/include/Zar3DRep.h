#pragma once
// A 3D representation: it has a bounding sphere, in the frame of its parent, which the
// traversal asks the render about before it visits the representation's content.
#include "ZarBounding.h"
#include "ZarRep.h"

class Zar3DRep : public ZarRep {
  ZAR_DECLARE_CLASS

 public:
  int IsA3DRep() const override { return 1; }
  // Computed on demand, kept until the geometry below changes.
  const Zar3DBoundingSphere& GetBoundingSphere();
  // A positive size marks a representation drawn at a fixed size on screen.
  void SetFixedSize(float iSize);

  // Culling questions, DrawRepresentation, then the content.
  void Accept(ZarRender& iRender) override;

 protected:
  Zar3DRep() = default;
  ~Zar3DRep() override = default;
  void GeometryChanged() override;
  virtual Zar3DBoundingSphere ComputeBoundingSphere() = 0;
  virtual void AcceptContent(ZarRender& iRender) = 0;

 private:
  Zar3DBoundingSphere _sphere;
  bool _sphereValid = false;
  float _fixedSize = 0.0f;
};
