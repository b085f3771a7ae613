#pragma once
// A parallelepiped given by a corner and three edge vectors, drawn as six planar faces of
// two triangles each, wound outwards when (u, v, w) is right-handed.
#include "Zar3DRep.h"
#include "ZarMathPoint.h"

class Zar3DPlanarFaceGP;

class Zar3DCuboidRep : public Zar3DRep {
  ZAR_DECLARE_CLASS

 public:
  // iMode is kept for the caller (2: drawn as a solid). Null when memory runs out.
  static Zar3DCuboidRep* CreateRep(const ZarMathPointf& iCorner, const ZarMathVectorf& iU, const ZarMathVectorf& iV,
                                   const ZarMathVectorf& iW, int iMode);

  const ZarMathPointf& GetCorner() const { return _corner; }
  const ZarMathVectorf& GetU() const { return _u; }
  const ZarMathVectorf& GetV() const { return _v; }
  const ZarMathVectorf& GetW() const { return _w; }
  int GetMode() const { return _mode; }

 protected:
  Zar3DCuboidRep(const ZarMathPointf& iCorner, const ZarMathVectorf& iU, const ZarMathVectorf& iV,
                 const ZarMathVectorf& iW, int iMode);
  ~Zar3DCuboidRep() override;
  Zar3DBoundingSphere ComputeBoundingSphere() override;
  void AcceptContent(ZarRender& iRender) override;

 private:
  ZarMathPointf _corner;
  ZarMathVectorf _u, _v, _w;
  int _mode;
  Zar3DPlanarFaceGP* _faces[6] = {};
};
