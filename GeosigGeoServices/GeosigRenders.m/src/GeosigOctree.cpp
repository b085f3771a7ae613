#include "GeosigOctree.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "GeosigMathServices.h"
#include "GeosigOctreeLeafWalk.h"
#include "GeosigOctreeStorage.h"
#include "GeosigOffsetRep.h"
#include "Zar3DBagRep.h"
#include "Zar3DCuboidRep.h"
#include "Zar4x4Matrix.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"

namespace {

const std::uint32_t initialCapacity = 1024;
// Offsets are 32-bit: the buffer never grows beyond 2^31 bytes.
const std::uint32_t maximumCapacity = 0x80000000u;

void* StandardReallocate(void* iBlock, std::size_t iSize) { return std::realloc(iBlock, iSize); }

GeosigOctree::Reallocator reallocateBuffer = StandardReallocate;

void ReportOutOfMemory() {
  std::printf("Cannot allocate memory for too large octree");
  std::fflush(stdout);
}

// The child that a fixed-point position falls into at the current level: the top bits.
inline unsigned int ChildOf(const ZarOctreePosition& iPosition) {
  return (iPosition.x >> 31) | (iPosition.y >> 31) << 1 | (iPosition.z >> 31) << 2;
}

inline void StepDown(ZarOctreePosition& ioPosition) {
  ioPosition.x <<= 1;
  ioPosition.y <<= 1;
  ioPosition.z <<= 1;
}

// Fixed-point coordinate of one axis. The product is truncated toward zero to a 64-bit
// integer whose low 32 bits are kept; a value that fits no 64-bit integer gives 0.
inline std::uint32_t FixedPoint(float iValue, float iMin, float iExtent) {
  const float scaled = (iValue - iMin) / iExtent * 4294967296.0f;
  const float limit = 9223372036854775808.0f;  // 2^63
  if (!(scaled > -limit && scaled < limit)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(scaled));
}

// Whether the projections pa, pb of the triangle lie beyond the box radius on one side.
inline bool Separated(float iPa, float iPb, float iRadius) {
  const float low = iPa < iPb ? iPa : iPb;
  const float high = iPa < iPb ? iPb : iPa;
  return low > iRadius || high < -iRadius;
}

// The axis is the cross product of coordinate axis iAxis with the edge iEdge; the third
// vertex of the triangle projects onto one of the two given.
inline bool EdgeAxisSeparates(const float* iEdge, int iAxis, const float* iVa, const float* iVb,
                              const float* iHalfSize) {
  const int j = (iAxis + 1) % 3, k = (iAxis + 2) % 3;
  const float pa = iEdge[k] * iVa[j] - iEdge[j] * iVa[k];
  const float pb = iEdge[k] * iVb[j] - iEdge[j] * iVb[k];
  const float radius = std::fabs(iEdge[k]) * iHalfSize[j] + std::fabs(iEdge[j]) * iHalfSize[k];
  return Separated(pa, pb, radius);
}

inline float Min3(float iA, float iB, float iC) {
  const float ab = iA < iB ? iA : iB;
  return iC < ab ? iC : ab;
}

inline float Max3(float iA, float iB, float iC) {
  const float ab = iA > iB ? iA : iB;
  return iC > ab ? iC : ab;
}

inline float Dot(const float* iA, const float* iB) { return iA[0] * iB[0] + iA[1] * iB[1] + iA[2] * iB[2]; }

// The triangles, fans and strips of one surfacic element, each vertex placed by iMatrix.
HRESULT DrawElement(GeosigOctree& ioOctree, const Zar4x4Matrix& iMatrix, ZarGraphicPrimitive& iElement) {
  int flag = 0, vertexSize = 0, normalSize = 0, nbTriangles = 0, nbStrips = 0, nbFans = 0;
  const float* vertices = nullptr;
  const float* normals = nullptr;
  const int *triangles = nullptr, *strips = nullptr, *stripCounts = nullptr, *fans = nullptr, *fanCounts = nullptr;
  iElement.GetArrays(&flag, &vertices, &vertexSize, &normals, &normalSize, &triangles, &nbTriangles, &strips, &nbStrips,
                     &stripCounts, &fans, &nbFans, &fanCounts, nullptr, nullptr, nullptr);
  // Indices are the positions of the vertices' x coordinates.
  auto draw = [&](int iA, int iB, int iC) {
    return ioOctree.DrawTriangle(iMatrix * ZarMathPointf(vertices + iA), iMatrix * ZarMathPointf(vertices + iB),
                                 iMatrix * ZarMathPointf(vertices + iC));
  };
  for (int t = 0; t < nbTriangles; ++t)
    if (ZarFailed(draw(triangles[3 * t], triangles[3 * t + 1], triangles[3 * t + 2]))) return E_FAIL;
  // A fan or strip shorter than 2 still takes two index positions.
  int position = 0;
  for (int f = 0; f < nbFans; ++f) {
    const int length = fanCounts[f];
    for (int k = 2; k < length; ++k)
      if (ZarFailed(draw(fans[position], fans[position + k - 1], fans[position + k]))) return E_FAIL;
    position += length < 2 ? 2 : length;
  }
  position = 0;
  for (int s = 0; s < nbStrips; ++s) {
    const int length = stripCounts[s];
    for (int k = 2; k < length; ++k)
      if (ZarFailed(draw(strips[position + k - 2], strips[position + k - 1], strips[position + k]))) return E_FAIL;
    position += length < 2 ? 2 : length;
  }
  return S_OK;
}

// One bag per occupied leaf: a translation to the centre of the leaf's box, holding the rep
// that all voxels share.
HRESULT AddLeafBag(Zar3DBagRep& ioBag, GeosigOffsetRep& ioShared, const ZarMathPointf& iBoxMin,
                   const ZarMathPointf& iBoxMax) {
  const ZarMathVectorf centre((iBoxMin.x + iBoxMax.x) * 0.5f, (iBoxMin.y + iBoxMax.y) * 0.5f,
                              (iBoxMin.z + iBoxMax.z) * 0.5f);
  ZarRef<Zar3DBagRep> leaf(Zar3DBagRep::CreateRep());
  if (!leaf) return E_OUTOFMEMORY;
  HRESULT status = leaf->SetMatrix(Zar4x4Matrix(centre));
  if (ZarSucceeded(status)) status = leaf->AddChild(ioShared);
  if (ZarSucceeded(status)) status = ioBag.AddChild(*leaf);
  return status;
}

}  // namespace

GeosigOctree::GeosigOctree() : _data(nullptr), _used(0), _capacity(0), _depth(0), _octreeSize(0) {}

GeosigOctree::~GeosigOctree() {
  if (_data && _capacity) std::free(_data);
  _data = nullptr;
  _used = _capacity = 0;
}

void GeosigOctree::SetReallocator(Reallocator iReallocator) {
  reallocateBuffer = iReallocator ? iReallocator : StandardReallocate;
}

void GeosigOctree::SetBoundingBox(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  _min = iMin;
  _extent = ZarMathPointf(iMax.x - iMin.x, iMax.y - iMin.y, iMax.z - iMin.z);
}

void GeosigOctree::GetBoundingBox(ZarMathPointf& oMin, ZarMathPointf& oMax) const {
  oMin = _min;
  oMax = ZarMathPointf(_min.x + _extent.x, _min.y + _extent.y, _min.z + _extent.z);
}

float GeosigOctree::GetBBVolume() const { return _extent.y * _extent.x * _extent.z; }

HRESULT GeosigOctree::Create() {
  if (_data && _capacity) std::free(_data);
  _data = nullptr;
  _used = _capacity = 0;
  unsigned int root = 0;
  return Alloc(GeosigOctreeStorage::_NodeBytes, root);
}

HRESULT GeosigOctree::Alloc(unsigned int iSize, unsigned int& oOffset) {
  const std::uint32_t used = _used + iSize;
  if (_capacity == 0) {
    _capacity = initialCapacity;
    _data = static_cast<unsigned char*>(reallocateBuffer(nullptr, _capacity));
  } else if (used >= _capacity) {
    // One doubling always suffices: blocks are far smaller than the buffer.
    void* grown = nullptr;
    if (_capacity <= maximumCapacity / 2) {
      _capacity *= 2;
      grown = reallocateBuffer(_data, _capacity);
    }
    if (!grown) std::free(_data);
    _data = static_cast<unsigned char*>(grown);
  }
  if (!_data) {
    ReportOutOfMemory();
    oOffset = 0;
    _used = 0;
    return E_FAIL;
  }
  std::memset(_data + _used, 0, iSize);
  oOffset = _used;
  _used = used;
  return S_OK;
}

HRESULT GeosigOctree::AllocNode(unsigned int& oOffset) { return Alloc(GeosigOctreeStorage::_NodeBytes, oOffset); }

HRESULT GeosigOctree::AllocNodeSet(unsigned int& oOffset) { return Alloc(GeosigOctreeStorage::_NodeSetBytes, oOffset); }

std::uint32_t GeosigOctree::LinkAt(std::uint32_t iNode, unsigned int iChild) const {
  std::uint32_t link;
  std::memcpy(&link, _data + iNode + 4 * iChild, sizeof link);
  return link;
}

void GeosigOctree::SetLink(std::uint32_t iNode, unsigned int iChild, std::uint32_t iLink) {
  std::memcpy(_data + iNode + 4 * iChild, &iLink, sizeof iLink);
}

HRESULT GeosigOctree::Move(Iterator& ioIterator, unsigned int iChild) {
  if (!_data) return E_FAIL;
  const std::uint32_t levelsToLeaves = _depth - ioIterator._level;
  if (levelsToLeaves == 1) {
    _data[ioIterator._node] |= static_cast<unsigned char>(1u << iChild);
    ioIterator._node = 0;
  } else if (levelsToLeaves == 2) {
    ioIterator._node += iChild;  // the child's mask byte inside the node set
  } else {
    std::uint32_t link = LinkAt(ioIterator._node, iChild);
    if (link == 0) {
      if (ZarFailed(levelsToLeaves == 3 ? AllocNodeSet(link) : AllocNode(link))) return E_FAIL;
      SetLink(ioIterator._node, iChild, link);  // the buffer may have moved: address it anew
    }
    ioIterator._node = link;
  }
  ++ioIterator._level;
  return S_OK;
}

GeosigOctree::TestResult GeosigOctree::Test(const Iterator& iIterator, unsigned int iChild) const {
  if (!_data) return Empty;
  const std::uint32_t levelsToLeaves = _depth - iIterator._level;
  if (levelsToLeaves == 1) return (_data[iIterator._node] >> iChild & 1u) ? Full : Empty;
  if (levelsToLeaves == 2) {
    const unsigned char mask = _data[iIterator._node + iChild];
    return mask == 0xFF ? Full : mask ? Partial : Empty;
  }
  const std::uint32_t link = LinkAt(iIterator._node, iChild);
  return link == _FullLink ? Full : link ? Partial : Empty;
}

void GeosigOctree::GetBoxId(unsigned int iChild, unsigned int iParentId, unsigned int& oId) {
  // The child index with its bits reversed: x goes to bit 2, z to bit 0.
  static const unsigned int codes[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  oId = iParentId * 8u | (iChild < 8 ? codes[iChild] : 0u);
}

void GeosigOctree::GetBoxCoord(unsigned int iChild, const ZarMathPointf& iMin, const ZarMathPointf& iMax,
                               ZarMathPointf& oChildMin, ZarMathPointf& oChildMax) {
  if (iChild > 7) return;
  const float mid[3] = {(iMin.x + iMax.x) / 2, (iMin.y + iMax.y) / 2, (iMin.z + iMax.z) / 2};
  const float low[3] = {iMin.x, iMin.y, iMin.z};
  const float high[3] = {iMax.x, iMax.y, iMax.z};
  float childMin[3], childMax[3];
  for (int a = 0; a < 3; ++a) {
    const bool upper = iChild >> a & 1u;
    childMin[a] = upper ? mid[a] : low[a];
    childMax[a] = upper ? high[a] : mid[a];
  }
  oChildMin = ZarMathPointf(childMin);
  oChildMax = ZarMathPointf(childMax);
}

void GeosigOctree::GetBoxCenter(unsigned int iId, unsigned int iLevel, const ZarMathPointf& iMin,
                                const ZarMathPointf& iMax, ZarMathPointf& oCentre) {
  unsigned int ix = 0, iy = 0, iz = 0, weight = 1;
  for (unsigned int level = 0; level < iLevel; ++level, weight *= 2, iId >>= 3) {
    ix += weight * (iId >> 2 & 1u);
    iy += weight * (iId >> 1 & 1u);
    iz += weight * (iId & 1u);
  }
  const float step = 1.0f / static_cast<float>(weight);  // weight is now 2^level
  oCentre.x = iMin.x + (static_cast<float>(ix) + 0.5f) * step * (iMax.x - iMin.x);
  oCentre.y = iMin.y + (static_cast<float>(iy) + 0.5f) * step * (iMax.y - iMin.y);
  oCentre.z = iMin.z + (static_cast<float>(iz) + 0.5f) * step * (iMax.z - iMin.z);
}

void GeosigOctree::Convert(const ZarMathPointf& iPoint, ZarOctreePosition& oPosition) const {
  oPosition.x = FixedPoint(iPoint.x, _min.x, _extent.x);
  oPosition.y = FixedPoint(iPoint.y, _min.y, _extent.y);
  oPosition.z = FixedPoint(iPoint.z, _min.z, _extent.z);
}

void GeosigOctree::Convert(const ZarOctreePosition& iPosition, ZarMathPointf& oPoint) const {
  const float unit = 2.3283064365386963e-10f;  // 2^-32
  oPoint.x = static_cast<float>(iPosition.x) * _extent.x * unit + _min.x;
  oPoint.y = static_cast<float>(iPosition.y) * _extent.y * unit + _min.y;
  oPoint.z = static_cast<float>(iPosition.z) * _extent.z * unit + _min.z;
}

HRESULT GeosigOctree::DrawTriangle(const ZarMathPointf& iP0, const ZarMathPointf& iP1, const ZarMathPointf& iP2) {
  if (!_data) return E_FAIL;
  const ZarMathPointf* vertices[3] = {&iP0, &iP1, &iP2};
  float* minimum[3] = {&_min.x, &_min.y, &_min.z};
  float* extent[3] = {&_extent.x, &_extent.y, &_extent.z};
  float triangle[3][3];
  for (int v = 0; v < 3; ++v) {
    triangle[v][0] = vertices[v]->x;
    triangle[v][1] = vertices[v]->y;
    triangle[v][2] = vertices[v]->z;
  }
  // The minimum is settled on every axis before any extent grows; marks do not move.
  for (int a = 0; a < 3; ++a)
    for (int v = 0; v < 3; ++v)
      if (*minimum[a] > triangle[v][a]) *minimum[a] = triangle[v][a];
  for (int a = 0; a < 3; ++a)
    for (int v = 0; v < 3; ++v)
      if (triangle[v][a] - *minimum[a] > *extent[a]) *extent[a] = triangle[v][a] - *minimum[a];

  ZarOctreePosition positions[3];
  for (int v = 0; v < 3; ++v) Convert(*vertices[v], positions[v]);

  // Follow the vertices down while they share a child: bit operations only.
  float low[3] = {_min.x, _min.y, _min.z};
  float size[3] = {_extent.x, _extent.y, _extent.z};
  Iterator iterator;
  std::uint32_t level = 0;
  for (; level < _depth; ++level) {
    const unsigned int child = ChildOf(positions[0]);
    if (child != ChildOf(positions[1]) || ChildOf(positions[1]) != ChildOf(positions[2])) break;
    if (Test(iterator, child) == Full) return S_OK;
    if (ZarFailed(Move(iterator, child))) return E_FAIL;
    for (int a = 0; a < 3; ++a) {
      size[a] /= 2;
      if (child >> a & 1u) low[a] += size[a];
    }
    for (ZarOctreePosition& position : positions) StepDown(position);
  }
  if (level == _depth) return S_OK;  // one leaf holds the whole triangle, and is marked

  const float half[3] = {size[0] / 2, size[1] / 2, size[2] / 2};
  const float centre[3] = {low[0] + half[0], low[1] + half[1], low[2] + half[2]};
  return ZarFailed(DrawTriangle(iterator, centre, half, triangle)) ? E_FAIL : S_OK;
}

HRESULT GeosigOctree::DrawTriangle(const Iterator& iIterator, const float* iCentre, const float* iHalfSize,
                                   const float iTriangle[3][3]) {
  const float half[3] = {iHalfSize[0] * 0.5f, iHalfSize[1] * 0.5f, iHalfSize[2] * 0.5f};
  for (unsigned int child = 0; child < 8; ++child) {
    float centre[3];
    for (int a = 0; a < 3; ++a) centre[a] = (child >> a & 1u) ? iCentre[a] + half[a] : iCentre[a] - half[a];
    if (Test(iIterator, child) == Full || !TriangleToBox(centre, half, iTriangle)) continue;
    Iterator below = iIterator;
    if (ZarFailed(Move(below, child))) return E_FAIL;
    if (below._level < _depth && ZarFailed(DrawTriangle(below, centre, half, iTriangle))) return E_FAIL;
  }
  return S_OK;
}

int GeosigOctree::TriangleToBox(const float* iCentre, const float* iHalfSize, const float iTriangle[3][3]) {
  float w0[3], w1[3], w2[3];
  for (int a = 0; a < 3; ++a) {
    w0[a] = iTriangle[0][a] - iCentre[a];
    w1[a] = iTriangle[1][a] - iCentre[a];
    w2[a] = iTriangle[2][a] - iCentre[a];
  }
  // Every axis test only ever answers "separated", so their order does not change the result:
  // the box's own axes go first, being the cheapest and the most often decisive.
  for (int a = 0; a < 3; ++a)
    if (Min3(w0[a], w1[a], w2[a]) > iHalfSize[a] || Max3(w0[a], w1[a], w2[a]) < -iHalfSize[a]) return 0;
  float e0[3], e1[3], e2[3];
  for (int a = 0; a < 3; ++a) {
    e0[a] = w1[a] - w0[a];
    e1[a] = w2[a] - w1[a];
    e2[a] = w0[a] - w2[a];
  }
  // The nine cross products of the coordinate axes x, y, z with the edges.
  if (EdgeAxisSeparates(e0, 0, w0, w2, iHalfSize) || EdgeAxisSeparates(e0, 1, w0, w2, iHalfSize) ||
      EdgeAxisSeparates(e0, 2, w1, w2, iHalfSize) || EdgeAxisSeparates(e1, 0, w0, w2, iHalfSize) ||
      EdgeAxisSeparates(e1, 1, w0, w2, iHalfSize) || EdgeAxisSeparates(e1, 2, w0, w1, iHalfSize) ||
      EdgeAxisSeparates(e2, 0, w0, w1, iHalfSize) || EdgeAxisSeparates(e2, 1, w0, w1, iHalfSize) ||
      EdgeAxisSeparates(e2, 2, w1, w2, iHalfSize))
    return 0;
  // The triangle's plane, against the box corners nearest and farthest along its normal.
  const float normal[3] = {e0[1] * e1[2] - e0[2] * e1[1], e0[2] * e1[0] - e0[0] * e1[2], e0[0] * e1[1] - e0[1] * e1[0]};
  float nearest[3], farthest[3];
  for (int a = 0; a < 3; ++a) {
    const float toward = normal[a] > 0.0f ? iHalfSize[a] : -iHalfSize[a];
    nearest[a] = -toward - w0[a];
    farthest[a] = toward - w0[a];
  }
  if (Dot(normal, nearest) > 0.0f) return 0;
  return Dot(normal, farthest) >= 0.0f ? 1 : 0;
}

void GeosigOctree::DrawPoint(const ZarMathPointf& iPoint) {
  ZarOctreePosition position;
  Convert(iPoint, position);
  // A failing move leaves the iterator where it is; the walk goes on regardless.
  Iterator iterator;
  for (std::uint32_t level = 0; level < _depth; ++level) {
    Move(iterator, ChildOf(position));
    StepDown(position);
  }
}

HRESULT GeosigOctree::DrawRep(const Zar4x4Matrix& iMatrix, Zar3DRep* iRep) {
  if (!iRep) return S_OK;
  if (iRep->IsAKindOf(Zar3DBagRep::ClassName())) {
    const Zar3DBagRep& bag = *static_cast<Zar3DBagRep*>(iRep);
    const std::vector<ZarRep*>* children = bag.GetChildren();
    if (!children) return S_OK;
    // The bag's own matrix applies first, then the matrix that places the bag.
    const Zar4x4Matrix matrix = bag.GetMatrix() ? *bag.GetMatrix() * iMatrix : iMatrix;
    for (ZarRep* child : *children) {
      if (!child->IsA3DRep()) continue;  // nothing of a 2D representation is a surface
      if (ZarFailed(DrawRep(matrix, static_cast<Zar3DRep*>(child)))) return E_FAIL;
    }
    return S_OK;
  }
  if (iRep->IsAKindOf(ZarSurfacicRep::ClassName())) return DrawSurface(iMatrix, *static_cast<ZarSurfacicRep*>(iRep));
  return S_OK;
}

HRESULT GeosigOctree::DrawSurface(const Zar4x4Matrix& iMatrix, ZarSurfacicRep& iSurface) {
  iSurface.SetEditMode(1);
  for (int j = 0; j < iSurface.GetGeomElementCount(); ++j) {
    ZarGraphicPrimitive* element = iSurface.GetGeomElement(j);
    if (element && ZarFailed(DrawElement(*this, iMatrix, *element))) return E_FAIL;
  }
  return S_OK;
}

GeosigOffsetRep* GeosigOctree::CreateOffsetRep(float iOffset) const {
  // Only the x extent counts: a box that is not a cube is shown with cubes of the x edge.
  const float edge = _extent.x / static_cast<float>(GeosigMathServices::Power(2, _depth));
  GeosigOffsetRep* shared = new GeosigOffsetRep(edge);
  if (shared) shared->SetOffset(iOffset);
  return shared;
}

HRESULT GeosigOctree::AddLeafBags(Zar3DBagRep& ioBag, GeosigOffsetRep& ioShared) {
  if (_depth == 0) return S_OK;  // the root is a leaf then, and is never marked
  ZarMathPointf low, high;
  GetBoundingBox(low, high);
  return AddToOffsetRep(&ioBag, &ioShared, Iterator(), low, high);
}

HRESULT GeosigOctree::AddToOffsetRep(Zar3DBagRep* iBag, GeosigOffsetRep* iRep, const Iterator& iIterator,
                                     const ZarMathPointf& iBoxMin, const ZarMathPointf& iBoxMax) {
  if (!iBag || !iRep) return E_FAIL;
  return GeosigOctreeLeafWalk(*this).Run(iIterator, iBoxMin, iBoxMax,
                                         [iBag, iRep](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
                                           return AddLeafBag(*iBag, *iRep, iLeaf._min, iLeaf._max);
                                         });
}

HRESULT GeosigOctree::AddToBagRep(Zar3DBagRep* iBag) {
  if (!iBag) return E_INVALIDARG;
  // Leaf bags take their own references; an offset rep that none holds goes with this one.
  ZarRef<GeosigOffsetRep> shared(CreateOffsetRep(0.0f));
  if (!shared) return E_FAIL;
  const HRESULT status = AddLeafBags(*iBag, *shared);
  if (ZarFailed(status)) {
    shared.release()->Destroy();
    return status;
  }
  const float edge = shared->GetSize();
  const float half = edge / 2;
  ZarRef<Zar3DCuboidRep> cube(Zar3DCuboidRep::CreateRep(ZarMathPointf(-half, -half, -half), ZarMathVectorf(edge, 0, 0),
                                                        ZarMathVectorf(0, edge, 0), ZarMathVectorf(0, 0, edge), 2));
  if (!cube) return status;
  return shared->AddChild(*cube);
}

HRESULT GeosigOctree::AddToOffsetRep(Zar3DBagRep* iBag, GeosigOffsetRep** oRep, float iOffset) {
  if (!iBag || !oRep || !(iOffset >= 0.0f)) return E_INVALIDARG;
  *oRep = nullptr;
  GeosigOffsetRep* shared = CreateOffsetRep(iOffset);
  if (!shared) return E_FAIL;
  const HRESULT status = AddLeafBags(*iBag, *shared);
  if (ZarFailed(status)) {
    shared->Destroy();
    return status;
  }
  *oRep = shared;
  return status;
}
