#include "Zar3DCuboidRep.h"

#include "Zar3DPlanarFaceGP.h"
#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(Zar3DCuboidRep, Zar3DRep, "ZarPlatform", ZarRetrieveMetaClass)

Zar3DCuboidRep* Zar3DCuboidRep::CreateRep(const ZarMathPointf& iCorner, const ZarMathVectorf& iU,
                                          const ZarMathVectorf& iV, const ZarMathVectorf& iW, int iMode) {
  Zar3DCuboidRep* cuboid = new Zar3DCuboidRep(iCorner, iU, iV, iW, iMode);
  if (!cuboid) return nullptr;
  for (Zar3DPlanarFaceGP* face : cuboid->_faces)
    if (!face) {
      cuboid->Release();
      return nullptr;
    }
  return cuboid;
}

// Corner k of the cuboid: bit 0 adds u, bit 1 adds v, bit 2 adds w.
static ZarMathPointf CornerOf(const ZarMathPointf& iOrigin, const ZarMathVectorf& iU, const ZarMathVectorf& iV,
                              const ZarMathVectorf& iW, int iK) {
  ZarMathPointf p = iOrigin;
  if (iK & 1) p = p + iU;
  if (iK & 2) p = p + iV;
  if (iK & 4) p = p + iW;
  return p;
}

Zar3DCuboidRep::Zar3DCuboidRep(const ZarMathPointf& iCorner, const ZarMathVectorf& iU, const ZarMathVectorf& iV,
                               const ZarMathVectorf& iW, int iMode)
    : _corner(iCorner), _u(iU), _v(iV), _w(iW), _mode(iMode) {
  // Each face as four corners in counter-clockwise order seen from outside.
  static const unsigned int faceCorners[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                                 {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
  for (int f = 0; f < 6; ++f) {
    ZarTessellation quad;
    for (unsigned int k : faceCorners[f]) {
      const ZarMathPointf p = CornerOf(iCorner, iU, iV, iW, static_cast<int>(k));
      quad.vertices.insert(quad.vertices.end(), {p.x, p.y, p.z});
    }
    quad.triangles = {0, 1, 2, 0, 2, 3};
    _faces[f] = new Zar3DPlanarFaceGP(quad);
  }
}

Zar3DCuboidRep::~Zar3DCuboidRep() {
  for (Zar3DPlanarFaceGP* face : _faces)
    if (face) face->Release();
}

Zar3DBoundingSphere Zar3DCuboidRep::ComputeBoundingSphere() {
  ZarBoundsf bounds;
  for (int k = 0; k < 8; ++k) {
    const ZarMathPointf p = CornerOf(_corner, _u, _v, _w, k);
    const float xyz[3] = {p.x, p.y, p.z};
    bounds.Add(xyz);
  }
  return bounds.Sphere();
}

void Zar3DCuboidRep::AcceptContent(ZarRender& iRender) {
  const ZarGraphicAttributeSet& attributes = GetAttributeSet();
  for (Zar3DPlanarFaceGP* face : _faces)
    if (iRender.IsDrawable(attributes)) face->Draw(iRender);
}
