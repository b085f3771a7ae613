#pragma once
// The vertex buffer that visualization faces index into: x, y, z per vertex. It views
// storage owned by the primitive that holds it.
class ZarVizVertexBuffer {
 public:
  ZarVizVertexBuffer(const float* iVertices, unsigned int iVertexCount)
      : _vertices(iVertices), _vertexCount(iVertexCount) {}

  const float* GetVertexArray() const { return _vertices; }
  unsigned int GetVertexCount() const { return _vertexCount; }

 private:
  const float* _vertices;
  unsigned int _vertexCount;
};
