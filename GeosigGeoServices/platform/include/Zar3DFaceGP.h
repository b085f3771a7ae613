#pragma once
// A tessellated face. It holds one tessellation and shows it both ways: as the arrays of a
// bounding primitive, and as a vertex buffer with a visualization face whose record is
// packed with the narrowest index width that fits.
#include "Zar3DBoundingGP.h"
#include "ZarTessellationRecord.h"
#include "ZarViz3DFace.h"
#include "ZarVizVertexBuffer.h"

class Zar3DFaceGP : public Zar3DBoundingGP {
 public:
  explicit Zar3DFaceGP(const ZarTessellation& iTessellation,
                       const ZarTessellationRecord::Layout& iLayout = ZarTessellationRecord::Layout());

  void Draw(ZarRender& iRender) override;

  ZarVizVertexBuffer* GetVertexBuffer() { return &_vertexBuffer; }
  // ioLevel is reserved: the face has one level of visualization.
  ZarViz3DFace* GetVizFace(int* ioLevel);

 protected:
  ~Zar3DFaceGP() override = default;

 private:
  ZarVizVertexBuffer _vertexBuffer;
  ZarViz3DFace _vizFace;
};
