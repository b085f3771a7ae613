#include "Zar3DFaceGP.h"

#include "ZarRender.h"

Zar3DFaceGP::Zar3DFaceGP(const ZarTessellation& iTessellation, const ZarTessellationRecord::Layout& iLayout)
    : Zar3DBoundingGP(iTessellation),
      _vertexBuffer(Vertices().data(), static_cast<unsigned int>(iTessellation.VertexCount())),
      _vizFace(ZarTessellationRecord::Encode(iTessellation, iLayout)) {}

void Zar3DFaceGP::Draw(ZarRender& iRender) { iRender.Draw3DFace(*this); }

ZarViz3DFace* Zar3DFaceGP::GetVizFace(int*) { return &_vizFace; }
