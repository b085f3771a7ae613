#pragma once
// One item of a visualization primitive: a run of vertices with a primitive type. Items are
// handed out by VisPrimitive::GetNext and belong to the caller, who deletes them.
#include <atomic>

#include "ZarTypes.h"

class VisSGPrimitiveItem {
 public:
  // Primitive type codes.
  static constexpr unsigned int Points = 0x1;
  static constexpr unsigned int SegmentList = 0x2;
  static constexpr unsigned int LineStrip = 0x4;
  static constexpr unsigned int LineLoop = 0x8;
  static constexpr unsigned int TriangleList = 0x10;
  static constexpr unsigned int TriangleStrip = 0x20;
  static constexpr unsigned int TriangleFan = 0x40;
  static constexpr unsigned int LinesAdjacency = 0x80;
  static constexpr unsigned int LineStripAdjacency = 0x100;
  static constexpr unsigned int Quads = 0x200;
  static constexpr unsigned int Polygon = 0x400;

  // Views iVertexCount vertices (x, y, z each) owned by the primitive.
  VisSGPrimitiveItem(unsigned int iType, const float* iVertices, unsigned int iVertexCount);
  VisSGPrimitiveItem(const VisSGPrimitiveItem&) = delete;
  VisSGPrimitiveItem& operator=(const VisSGPrimitiveItem&) = delete;
  virtual ~VisSGPrimitiveItem();

  virtual unsigned int GetPrimitiveType() const { return _type; }
  virtual unsigned int GetNbVertices() const { return _vertexCount; }
  // What GetVertexData copies: the position, as three floats, the only form this platform stores.
  static constexpr int PositionComponent = 0;
  static constexpr int ThreeFloatsFormat = 22;

  // Copies vertex iIndex into oXyz, asked for as PositionComponent in ThreeFloatsFormat.
  virtual HRESULT GetVertexData(unsigned int iIndex, int iComponent, int iFormat, float* oXyz) const;

  // Items alive in the process: lets tests see that every item handed out was disposed of.
  static long LiveCount() { return _live.load(); }

 private:
  unsigned int _type;
  const float* _vertices;
  unsigned int _vertexCount;
  static std::atomic<long> _live;
};
