#include "Zar3DBoundingGP.h"

#include <cmath>
#include <stdexcept>

#include "ZarRender.h"

static std::vector<int> Positions(const std::vector<unsigned int>& iVertexNumbers) {
  std::vector<int> positions;
  positions.reserve(iVertexNumbers.size());
  for (unsigned int number : iVertexNumbers) positions.push_back(static_cast<int>(3 * number));
  return positions;
}

static std::vector<int> Signed(const std::vector<unsigned int>& iCounts) {
  return std::vector<int>(iCounts.begin(), iCounts.end());
}

Zar3DBoundingGP::Zar3DBoundingGP(const ZarTessellation& iTessellation, std::vector<float> iLooseVertices)
    : _vertices(iTessellation.vertices),
      _triangles(Positions(iTessellation.triangles)),
      _strips(Positions(iTessellation.strips)),
      _stripCounts(Signed(iTessellation.stripCounts)),
      _fans(Positions(iTessellation.fans)),
      _fanCounts(Signed(iTessellation.fanCounts)),
      _looseVertices(std::move(iLooseVertices)) {
  if (const std::string reason = iTessellation.Check(); !reason.empty())
    throw std::invalid_argument("invalid tessellation: " + reason);
  for (float coordinate : _looseVertices)
    if (!std::isfinite(coordinate)) throw std::invalid_argument("invalid loose vertex: non-finite coordinate");
}

void Zar3DBoundingGP::Draw(ZarRender& iRender) { iRender.Draw3DBoundinGP(*this); }

void Zar3DBoundingGP::ExtendBounds(ZarBoundsf& iBounds) const {
  iBounds.AddPoints(_vertices.data(), _vertices.size());
  iBounds.AddPoints(_looseVertices.data(), _looseVertices.size());
}

void Zar3DBoundingGP::GetVertices(int* oFlag, const float** oVertices, int* oSize) {
  ++_openVertexReads;
  if (oFlag) *oFlag = 1;
  if (oVertices) *oVertices = _looseVertices.empty() ? nullptr : _looseVertices.data();
  if (oSize) *oSize = static_cast<int>(_looseVertices.size());
}

void Zar3DBoundingGP::ClearVertices(int* ioFlag, const float** ioVertices, int* ioSize) {
  --_openVertexReads;
  if (ioFlag) *ioFlag = 0;
  if (ioVertices) *ioVertices = nullptr;
  if (ioSize) *ioSize = 0;
}

template <class T>
static const T* DataOrNull(const std::vector<T>& iValues) {
  return iValues.empty() ? nullptr : iValues.data();
}

void Zar3DBoundingGP::GetArrays(int* oFlag, const float** oVertices, int* oVertexSize, const float** oNormals,
                                int* oNormalSize, const int** oTriangles, int* oNbTriangles, const int** oStrips,
                                int* oNbStrips, const int** oStripCounts, const int** oFans, int* oNbFans,
                                const int** oFanCounts, const void*, const void*, const void*) {
  ++_openArrayReads;
  *oFlag = 1;
  *oVertices = DataOrNull(_vertices);
  *oVertexSize = static_cast<int>(_vertices.size());
  *oNormals = nullptr;
  *oNormalSize = 0;
  *oTriangles = DataOrNull(_triangles);
  *oNbTriangles = TriangleCount();
  *oStrips = DataOrNull(_strips);
  *oNbStrips = static_cast<int>(_stripCounts.size());
  *oStripCounts = DataOrNull(_stripCounts);
  *oFans = DataOrNull(_fans);
  *oNbFans = static_cast<int>(_fanCounts.size());
  *oFanCounts = DataOrNull(_fanCounts);
}

void Zar3DBoundingGP::Clear(int* ioFlag, const float** ioVertices, int* ioVertexSize, const float** ioNormals,
                            int* ioNormalSize, const int** ioTriangles, int* ioNbTriangles, const int** ioStrips,
                            int* ioNbStrips, const int** ioStripCounts, const int** ioFans, int* ioNbFans,
                            const int** ioFanCounts) {
  --_openArrayReads;
  *ioFlag = 0;
  *ioVertices = nullptr;
  *ioVertexSize = 0;
  *ioNormals = nullptr;
  *ioNormalSize = 0;
  *ioTriangles = *ioStrips = *ioStripCounts = *ioFans = *ioFanCounts = nullptr;
  *ioNbTriangles = *ioNbStrips = *ioNbFans = 0;
}

int Zar3DBoundingGP::TriangleCount() const { return static_cast<int>(_triangles.size() / 3); }
