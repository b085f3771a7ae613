#include "GeosigRender.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "VisPrimitive.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DCurvedPipeGP.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DFaceGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPlanarFaceGP.h"
#include "Zar3DPolylineGP.h"
#include "ZarSupport.h"
#include "ZarSystem.h"
#include "ZarTessellationRecord.h"
#include "ZarViz3DFace.h"
#include "ZarViz3DLine.h"
#include "ZarVizVertexBuffer.h"

namespace {

// The one support all renders are built on; it adds nothing to the platform's.
class GeosigRenderSupport : public ZarSupport {
 public:
  GeosigRenderSupport() : ZarSupport(100, 100, nullptr) {}

 protected:
  ~GeosigRenderSupport() override = default;
};

GeosigRenderSupport* sharedSupport = nullptr;

void ReleaseSharedSupport() {
  if (sharedSupport) {
    sharedSupport->Clear();
    sharedSupport->Release();
    sharedSupport = nullptr;
  }
}

// Registered when the library is loaded, so the support goes before the process does.
const int exitCleanupRegistered = std::atexit(ReleaseSharedSupport);

ZarSupport& SharedSupport() {
  if (!sharedSupport) {
    sharedSupport = new GeosigRenderSupport();
    // A render cannot exist without its support: nothing sensible can go on.
    if (!sharedSupport)
      ZarFatalError("AssertionFailed:NULL != sharedSupport", "out of memory for the shared render support", nullptr,
                    nullptr, __FILE__, __LINE__);
  }
  return *sharedSupport;
}

// Reads one index of an array as it lies in memory.
template <class Index>
inline std::uint32_t IndexAt(const void* iArray, std::uint32_t iPosition) {
  Index value;
  std::memcpy(&value, static_cast<const unsigned char*>(iArray) + sizeof(Index) * iPosition, sizeof(Index));
  return value;
}

// The decoder's index types: the width of every index of one call.
enum IndexType : unsigned int { Index8Bits = 0, Index16Bits = 1, Index32Bits = 2 };

// Runs iSection with the index width of iIndexType; other types skip it.
template <class Section>
inline HRESULT WithIndexWidth(unsigned int iIndexType, Section&& iSection) {
  switch (iIndexType) {
    case Index8Bits: return iSection(std::uint8_t{});
    case Index16Bits: return iSection(std::uint16_t{});
    case Index32Bits: return iSection(std::uint32_t{});
    default: return S_OK;
  }
}

// Little-endian 32-bit word of a packed tessellation record.
inline std::uint32_t RecordWord(const std::uint8_t* iRecord, std::uint32_t iOffset) {
  const std::uint8_t* p = iRecord + iOffset;
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

GeosigRender::GeosigRender()
    : ZarRender(SharedSupport()), _matrixStack(nullptr), _nbTriangles(0), _nbLines(0), _nbPoints(0) {
  (void)exitCleanupRegistered;
}

GeosigRender::~GeosigRender() {
  while (_matrixStack) {
    GeosigMatrixNode* next = _matrixStack->_next;
    delete _matrixStack;
    _matrixStack = next;
  }
}

ZarRender* GeosigRender::PushMatrix(Zar4x4Matrix& iMatrix) {
  if (!_matrixStack) {
    _matrixStack = new GeosigMatrixNode{iMatrix, nullptr};
  } else {
    const Zar4x4Matrix top = _matrixStack->_matrix;
    const Zar4x4Matrix product = iMatrix * top;
    _matrixStack = new GeosigMatrixNode{product, _matrixStack};
  }
  return this;
}

void GeosigRender::PopMatrix(ZarRender*) {
  if (!_matrixStack) return;
  GeosigMatrixNode* top = _matrixStack;
  _matrixStack = top->_next;
  delete top;
}

void GeosigRender::ProjectPoint(ZarMathPointf& ioPoint) {
  if (_matrixStack) ioPoint = _matrixStack->_matrix * ioPoint;
}

HRESULT GeosigRender::ProcessTriangle3D(const float* iA, const float* iB, const float* iC) {
  if (!iA || !iB || !iC) return E_FAIL;
  ZarMathPointf a(iA), b(iB), c(iC);
  ProjectPoint(a);
  ProjectPoint(b);
  ProjectPoint(c);
  const HRESULT status = AnalyzeTriangle(a, b, c);
  ++_nbTriangles;
  return status;
}

std::uint32_t GeosigRender::GetTrianglesCount() { return _nbTriangles; }

// Culling and level of detail: every 3D element at full detail, no 2D element.

int GeosigRender::IsDrawable(const std::list<int>&) { return 1; }
int GeosigRender::IsDrawable(int) { return 1; }

int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const std::list<int>&, int) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere&, const ZarRep&,
                             ZarGraphicMaterial*) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const ZarRep&, ZarGraphicMaterial*) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, int) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, int, int) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, ZarGraphicMaterial*) {
  SetCurrentAttribute(iAttr);
  return 1;
}
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const float*, float, int) {
  SetCurrentAttribute(iAttr);
  return 1;
}

int GeosigRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, const ZarRep&) { return 0; }
int GeosigRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, int) { return 0; }
int GeosigRender::IsInside(const Zar2DBoundingBox&) { return 1; }
int GeosigRender::IsInside(const Zar3DBoundingSphere&) { return 0; }
int GeosigRender::IsToSmall(const Zar2DBoundingBox&) { return 1; }
int GeosigRender::IsToSmall(const Zar3DBoundingSphere&) { return 0; }
int GeosigRender::IsSeen(const float*, const float*) { return 1; }
int GeosigRender::Get3DLODNumber(const Zar3DBoundingSphere&, int, const float* const) { return 0; }

float GeosigRender::Get3DModelCulling(const Zar3DBoundingSphere& iSphere) const {
  return ZarRender::Get3DModelCulling(iSphere);
}
float GeosigRender::Get3DModelSag(const Zar3DBoundingSphere& iSphere) const {
  return ZarRender::Get3DModelSag(iSphere);
}

// Faces.

void GeosigRender::Draw3DFace(Zar3DFaceGP& iFace) {
  SetCurrentVertexBuffer(iFace.GetVertexBuffer());
  int level = 0;
  DrawZarViz3DFace(iFace.GetVizFace(&level));
}

void GeosigRender::Draw3DPlanarFace(Zar3DPlanarFaceGP& iFace) { GeosigRender::Draw3DFace(iFace); }

void GeosigRender::DrawZarViz3DFace(ZarViz3DFace* iFace) {
  ZarVizVertexBuffer* buffer = GetCurrentVertexBuffer();
  if (!iFace || !buffer) return;

  unsigned int indexType = Index32Bits;
  int vertexNumbers = 0;
  std::uint32_t nbTriangles = 0, nbStrips = 0, nbFans = 0;
  const void *triangles = nullptr, *strips = nullptr, *fans = nullptr;
  const unsigned int *stripCounts = nullptr, *fanCounts = nullptr;

  if (const std::uint8_t* record = iFace->GetRecord()) {
    namespace bits = ZarTessellationRecord;
    const std::uint32_t flags = RecordWord(record, 0);
    std::uint32_t at = (flags & bits::LongHeader) ? bits::LongHeaderBytes : bits::ShortHeaderBytes;
    if (flags & bits::ExtraBlock) at += bits::ExtraBlockBytes;
    indexType = (flags & bits::Index32)   ? Index32Bits
                : (flags & bits::Index16) ? Index16Bits
                : (flags & bits::Index8)  ? Index8Bits
                                          : Index32Bits;
    const std::uint32_t width = 1u << indexType;
    vertexNumbers = (flags & bits::VertexNumbers) ? 1 : 0;
    const bool hasTriangles = flags & bits::HasTriangles, hasStrips = flags & bits::HasStrips;
    const bool hasFans = flags & bits::HasFans;
    // Count arrays start at multiples of 4 in a record laid in aligned storage.
    auto counts = [record](std::uint32_t iAt) { return reinterpret_cast<const unsigned int*>(record + iAt); };

    if (hasTriangles) {
      nbTriangles = RecordWord(record, at);
      at += 4;
    }
    std::uint32_t fanOffset = 0;
    if (hasStrips) {
      nbStrips = RecordWord(record, at);
      at += 4;
    }
    if (hasFans) {
      nbFans = RecordWord(record, at);
      at += 4;
    }
    if (hasStrips && hasFans) {
      fanOffset = RecordWord(record, at);
      at += 4;
    }
    if (hasStrips) {
      stripCounts = counts(at);
      at += 4 * nbStrips;
    }
    if (hasFans) {
      fanCounts = counts(at);
      at += 4 * nbFans;
    }
    if (hasTriangles) {
      triangles = record + at;
      at += 3 * nbTriangles * width;
    }
    if (hasStrips) strips = record + at;
    if (hasFans) fans = record + (hasStrips ? fanOffset : at);
  }

  const float* vertices = buffer->GetVertexArray();
  const unsigned int vertexCount = buffer->GetVertexCount();
  if (!vertices) return;
  DrawGenericFace(vertices, 3 * vertexCount, triangles, nbTriangles, strips, nbStrips, stripCounts, fans, nbFans,
                  fanCounts, indexType, vertexNumbers);
}

void GeosigRender::DrawGenericFace(const float* iVertices, int iVertexFloatCount, const int* iTriangles,
                                   int iNbTriangles, const int* iStrips, int iNbStrips, const int* iStripCounts,
                                   const int* iFans, int iNbFans, const int* iFanCounts) {
  if (!iVertices) return;
  unsigned int indexType = Index32Bits;
  DrawGenericFace(iVertices, static_cast<unsigned int>(iVertexFloatCount), iTriangles,
                  static_cast<unsigned int>(iNbTriangles), iStrips, static_cast<unsigned int>(iNbStrips),
                  reinterpret_cast<const unsigned int*>(iStripCounts), iFans, static_cast<unsigned int>(iNbFans),
                  reinterpret_cast<const unsigned int*>(iFanCounts), indexType, 0);
}

void GeosigRender::DrawGenericFace(const float* iVertices, unsigned int, const void* iTriangles,
                                   unsigned int iNbTriangles, const void* iStrips, unsigned int iNbStrips,
                                   const unsigned int* iStripCounts, const void* iFans, unsigned int iNbFans,
                                   const unsigned int* iFanCounts, unsigned int& iIndexType, int iVertexNumbers) {
  const std::uint32_t stride = iVertexNumbers ? 3 : 1;
  auto vertex = [iVertices, stride](std::uint32_t iIndex) { return iVertices + stride * iIndex; };
  HRESULT status = S_OK;

  if (status >= 0)
    status = WithIndexWidth(iIndexType, [&](auto iWidth) {
      using Index = decltype(iWidth);
      HRESULT r = S_OK;
      for (std::uint32_t t = 0; t < iNbTriangles && r >= 0; ++t)
        r = ProcessTriangle3D(vertex(IndexAt<Index>(iTriangles, 3 * t)), vertex(IndexAt<Index>(iTriangles, 3 * t + 1)),
                              vertex(IndexAt<Index>(iTriangles, 3 * t + 2)));
      return r;
    });

  if (status >= 0)
    status = WithIndexWidth(iIndexType, [&](auto iWidth) {
      using Index = decltype(iWidth);
      HRESULT r = S_OK;
      std::uint32_t k = 0;
      for (std::uint32_t f = 0; f < iNbFans && r >= 0; ++f) {
        const std::uint32_t count = iFanCounts[f];
        if (count < 2) continue;
        const std::uint32_t centre = IndexAt<Index>(iFans, k);
        std::uint32_t previous = IndexAt<Index>(iFans, k + 1);
        k += 2;
        for (std::uint32_t j = 2; j < count && r >= 0; ++j) {
          const std::uint32_t next = IndexAt<Index>(iFans, k++);
          r = ProcessTriangle3D(vertex(centre), vertex(previous), vertex(next));
          previous = next;
        }
      }
      return r;
    });

  if (status >= 0)
    WithIndexWidth(iIndexType, [&](auto iWidth) {
      using Index = decltype(iWidth);
      HRESULT r = S_OK;
      std::uint32_t k = 0;
      for (std::uint32_t s = 0; s < iNbStrips && r >= 0; ++s) {
        const std::uint32_t count = iStripCounts[s];
        if (count > 2) {
          for (std::uint32_t i = 0; i + 2 < count && r >= 0; ++i, ++k) {
            const std::uint32_t first = IndexAt<Index>(iStrips, k), second = IndexAt<Index>(iStrips, k + 1);
            const std::uint32_t third = IndexAt<Index>(iStrips, k + 2);
            r = (i % 2 == 0) ? ProcessTriangle3D(vertex(first), vertex(second), vertex(third))
                             : ProcessTriangle3D(vertex(second), vertex(first), vertex(third));
          }
        }
        if (count != 0) k += 2;
      }
      return r;
    });
}

// Visualization primitives: surface items, then line items; hook statuses are not looked at.

void GeosigRender::DrawVisPrimitive(VisPrimitive& iPrimitive) {
  using Item = VisSGPrimitiveItem;
  // Quads and polygons are asked for, and counted, but not decoded; so are the adjacency lines.
  constexpr unsigned int surfaceTypes =
      Item::TriangleList | Item::TriangleStrip | Item::TriangleFan | Item::Quads | Item::Polygon;
  constexpr unsigned int lineTypes =
      Item::SegmentList | Item::LineStrip | Item::LineLoop | Item::LinesAdjacency | Item::LineStripAdjacency;

  auto vertexOf = [](Item& iItem, unsigned int iIndex) {
    float xyz[3] = {0.0f, 0.0f, 0.0f};
    iItem.GetVertexData(iIndex, Item::PositionComponent, Item::ThreeFloatsFormat, xyz);
    return ZarMathPointf(xyz);
  };
  auto triangle = [this](ZarMathPointf iA, ZarMathPointf iB, ZarMathPointf iC) {
    ProjectPoint(iA);
    ProjectPoint(iB);
    ProjectPoint(iC);
    AnalyzeTriangle(iA, iB, iC);
    ++_nbTriangles;
  };
  auto segment = [this](ZarMathPointf& ioA, ZarMathPointf& ioB) {
    AnalyzeLine(ioA, ioB);
    ++_nbLines;
  };

  void* iterator = nullptr;
  if (iPrimitive.StartIteration(iterator, surfaceTypes) < 0 || !iterator) return;
  VisSGPrimitiveItem* item = nullptr;
  while (iPrimitive.GetNext(iterator, item) >= 0) {
    if (!item) continue;
    const unsigned int type = item->GetPrimitiveType();
    const unsigned int n = item->GetNbVertices();
    if (n <= 2 || (type == Item::TriangleList && n % 3 != 0)) {
      delete item;
      continue;
    }
    if (type == Item::TriangleList) {
      for (unsigned int i = 0; i < n - 2; i += 3)
        triangle(vertexOf(*item, i), vertexOf(*item, i + 1), vertexOf(*item, i + 2));
    } else if (type == Item::TriangleStrip || type == Item::TriangleFan) {
      ZarMathPointf first = vertexOf(*item, 0), previous = vertexOf(*item, 1);
      ZarMathPointf beforePrevious = first;
      for (unsigned int i = 2; i < n; ++i) {
        const ZarMathPointf current = vertexOf(*item, i);
        triangle(type == Item::TriangleFan ? first : beforePrevious, previous, current);
        beforePrevious = previous;
        previous = current;
      }
    }
    delete item;
    _nbPoints += n;
  }
  iPrimitive.EndIteration(iterator);

  iterator = nullptr;
  item = nullptr;
  if (iPrimitive.StartIteration(iterator, lineTypes) < 0 || !iterator) return;
  while (iPrimitive.GetNext(iterator, item) >= 0) {
    if (!item) continue;
    const unsigned int type = item->GetPrimitiveType();
    const unsigned int n = item->GetNbVertices();
    if (n <= 1) {
      delete item;
      continue;
    }
    if (type == Item::SegmentList) {
      for (unsigned int i = 0; i < n - 1; i += 2) {
        ZarMathPointf a = vertexOf(*item, i), b = vertexOf(*item, i + 1);
        ProjectPoint(a);
        ProjectPoint(b);
        segment(a, b);
      }
    } else if (type == Item::LineStrip || type == Item::LineLoop) {
      ZarMathPointf a = vertexOf(*item, 0);
      ProjectPoint(a);
      ZarMathPointf first = a;
      for (unsigned int i = 1; i < n; ++i) {
        ZarMathPointf b = vertexOf(*item, i);
        ProjectPoint(b);
        segment(a, b);
        a = b;
      }
      if (type == Item::LineLoop) segment(a, first);
    }
    delete item;
  }
  iPrimitive.EndIteration(iterator);
}

// Lines, polylines and bounding primitives.

HRESULT GeosigRender::DrawSegments(const float* iPoints, std::uint32_t iCount, bool iIndependent, bool iClosed) {
  HRESULT status = S_OK;
  if (iIndependent) {
    for (std::uint32_t i = 0; i + 1 < iCount && status >= 0; i += 2) {
      ZarMathPointf a(iPoints + 3 * i), b(iPoints + 3 * i + 3);
      ProjectPoint(a);
      ProjectPoint(b);
      status = AnalyzeLine(a, b);
      ++_nbLines;
    }
    return status;
  }
  ZarMathPointf a(iPoints);
  ProjectPoint(a);
  ZarMathPointf first = a;
  for (std::uint32_t i = 1; i < iCount && status >= 0; ++i) {
    ZarMathPointf b(iPoints + 3 * i);
    ProjectPoint(b);
    status = AnalyzeLine(a, b);
    ++_nbLines;
    a = b;
  }
  if (iClosed && status >= 0) {
    AnalyzeLine(a, first);
    ++_nbLines;
  }
  return status;
}

void GeosigRender::Draw3DLine(Zar3DLineGP& iLine) {
  const float* points = nullptr;
  int count = 0, lineType = 0;
  iLine.GetReadOnly(&points, &count, &lineType);
  if (!points || count <= 0) return;
  DrawSegments(points, static_cast<std::uint32_t>(count), lineType == Zar3DLineGP::IndependentSegments,
               lineType == Zar3DLineGP::ClosedPolyline);
}

void GeosigRender::Draw3DPolyline(Zar3DPolylineGP& iPolyline) { Draw3DLine(iPolyline); }

void GeosigRender::DrawZarViz3DLine(ZarViz3DLine* iLine) {
  if (!iLine) return;
  const float* points = iLine->GetPoints();
  const std::uint32_t word = iLine->GetDescription();
  const std::uint32_t count = (word >> ZarViz3DLine::CountShift) & ZarViz3DLine::CountMask;
  if (!points || count == 0) return;
  const std::uint32_t kind = word & ZarViz3DLine::KindMask;
  DrawSegments(points, count, kind == ZarViz3DLine::KindSegments, kind == ZarViz3DLine::KindClosed);
}

void GeosigRender::Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) {
  if (iPrimitive.HasVertices()) {
    int flag = 0, size = 0;
    const float* vertices = nullptr;
    iPrimitive.GetVertices(&flag, &vertices, &size);
    if (vertices && size > 0) {
      HRESULT status = S_OK;
      for (int j = 0; j < size / 3 && status >= 0; ++j) {
        ZarMathPointf p(vertices[3 * j], vertices[3 * j + 1], vertices[3 * j + 2]);
        ProjectPoint(p);
        status = AnalyzePoint(p);
        ++_nbPoints;
      }
    }
    iPrimitive.ClearVertices(&flag, &vertices, &size);
  }

  int flag = 0, vertexSize = 0, normalSize = 0, nbTriangles = 0, nbStrips = 0, nbFans = 0;
  const float *vertices = nullptr, *normals = nullptr;
  const int *triangles = nullptr, *strips = nullptr, *stripCounts = nullptr, *fans = nullptr, *fanCounts = nullptr;
  iPrimitive.GetArrays(&flag, &vertices, &vertexSize, &normals, &normalSize, &triangles, &nbTriangles, &strips,
                       &nbStrips, &stripCounts, &fans, &nbFans, &fanCounts, nullptr, nullptr, nullptr);
  DrawGenericFace(vertices, vertexSize, triangles, nbTriangles, strips, nbStrips, stripCounts, fans, nbFans, fanCounts);
  iPrimitive.Clear(&flag, &vertices, &vertexSize, &normals, &normalSize, &triangles, &nbTriangles, &strips, &nbStrips,
                   &stripCounts, &fans, &nbFans, &fanCounts);
}

void GeosigRender::Draw3DCylinder(Zar3DCylinderGP& iCylinder, int) { Draw3DBoundinGP(iCylinder); }
void GeosigRender::Draw3DCurvedPipe(Zar3DCurvedPipeGP& iPipe) { Draw3DBoundinGP(iPipe); }

// Edges, markers and dynamic primitives carry no surface: ignored.
void GeosigRender::Draw3DEdge(Zar3DEdgeGP&) {}
void GeosigRender::Draw3DMarker(Zar3DMarkerGP&) {}
void GeosigRender::DrawZarViz3DEdge(ZarViz3DEdge*) {}
void GeosigRender::DrawZarViz3DMarker(ZarViz3DMarker*) {}
void GeosigRender::DrawZarVizDynamicPrimitive(ZarVizDynamicPrimitive&) {}
void GeosigRender::DrawDynamicGP(ZarDynamicGP&) {}

// Sphere pruning shared by derived renders.

int GeosigRender::IsSphereDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere) {
  if (iSphere.State() == Zar3DBoundingSphere::StateEmpty) return 0;
  if (iSphere.fixedSize > 0.0f) return 1;
  return IsDrawable(iAttr, iSphere.center, iSphere.radius, 0);
}

int GeosigRender::IsSphereTooSmall(const Zar3DBoundingSphere& iSphere) {
  if (iSphere.State() == Zar3DBoundingSphere::StateEmpty) return 1;
  if (iSphere.fixedSize > 0.0f) return 0;
  return IsDrawable(GetCurrentAttribute(), iSphere.center, iSphere.radius, 0) == 0 ? 1 : 0;
}

void GeosigRender::SphereToWorld(const float* iCenter, float iRadius, ZarMathPointf& oCenter, float& oRadius) const {
  oCenter = ZarMathPointf(iCenter);
  oRadius = iRadius;
  if (_matrixStack) {
    oCenter = _matrixStack->_matrix * oCenter;
    oRadius = static_cast<float>(iRadius * _matrixStack->_matrix.GetScaling());
  }
}

float GeosigRender::TriangleArea(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC) {
  const float l1 = ZarMathVectorf(iA, iB).Norm();
  const float l2 = ZarMathVectorf(iB, iC).Norm();
  const float l3 = ZarMathVectorf(iC, iA).Norm();
  const float s = (l3 + l2 + l1) * 0.5f;
  // Rounding can make the product slightly negative for a flat triangle.
  return std::sqrt(std::fabs((s - l2) * s * (s - l3) * (s - l1)));
}

ZarMathPointf GeosigRender::TriangleCentroid(const ZarMathPointf& iA, const ZarMathPointf& iB,
                                             const ZarMathPointf& iC) {
  return ZarMathPointf((iA.x + iB.x + iC.x) / 3.0f, (iA.y + iB.y + iC.y) / 3.0f, (iA.z + iB.z + iC.z) / 3.0f);
}
