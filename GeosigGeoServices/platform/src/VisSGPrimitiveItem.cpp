#include "VisSGPrimitiveItem.h"

std::atomic<long> VisSGPrimitiveItem::_live{0};

VisSGPrimitiveItem::VisSGPrimitiveItem(unsigned int iType, const float* iVertices, unsigned int iVertexCount)
    : _type(iType), _vertices(iVertices), _vertexCount(iVertexCount) {
  ++_live;
}

VisSGPrimitiveItem::~VisSGPrimitiveItem() { --_live; }

HRESULT VisSGPrimitiveItem::GetVertexData(unsigned int iIndex, int iComponent, int iFormat, float* oXyz) const {
  if (!oXyz || iIndex >= _vertexCount || iComponent != PositionComponent || iFormat != ThreeFloatsFormat)
    return E_INVALIDARG;
  for (int k = 0; k < 3; ++k) oXyz[k] = _vertices[3 * iIndex + k];
  return S_OK;
}
