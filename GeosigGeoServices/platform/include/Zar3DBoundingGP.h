#pragma once
// The generic tessellated primitive: optional loose vertices and a tessellated face whose
// indices are float positions. What GetVertices and GetArrays hand out stays valid until
// the matching ClearVertices / Clear; the primitive counts the reads still open.
#include <vector>

#include "ZarGraphicPrimitive.h"
#include "ZarTessellation.h"

class Zar3DBoundingGP : public ZarGraphicPrimitive {
 public:
  // Fails (std::invalid_argument) on an inconsistent tessellation or non-finite loose vertices.
  explicit Zar3DBoundingGP(const ZarTessellation& iTessellation, std::vector<float> iLooseVertices = {});

  void Draw(ZarRender& iRender) override;
  void ExtendBounds(ZarBoundsf& iBounds) const override;

  virtual int HasVertices() const { return _looseVertices.empty() ? 0 : 1; }
  // oSize counts floats.
  virtual void GetVertices(int* oFlag, const float** oVertices, int* oSize);
  void ClearVertices(int* ioFlag, const float** ioVertices, int* ioSize);

  void GetArrays(int* oFlag, const float** oVertices, int* oVertexSize, const float** oNormals, int* oNormalSize,
                 const int** oTriangles, int* oNbTriangles, const int** oStrips, int* oNbStrips,
                 const int** oStripCounts, const int** oFans, int* oNbFans, const int** oFanCounts,
                 const void* iReserved1, const void* iReserved2, const void* iReserved3) override;
  void Clear(int* ioFlag, const float** ioVertices, int* ioVertexSize, const float** ioNormals, int* ioNormalSize,
             const int** ioTriangles, int* ioNbTriangles, const int** ioStrips, int* ioNbStrips,
             const int** ioStripCounts, const int** ioFans, int* ioNbFans, const int** ioFanCounts) override;

  // Reads handed out and not yet released.
  int OpenVertexReads() const { return _openVertexReads; }
  int OpenArrayReads() const { return _openArrayReads; }

  const std::vector<float>& Vertices() const { return _vertices; }
  int TriangleCount() const;

 protected:
  ~Zar3DBoundingGP() override = default;

 private:
  std::vector<float> _vertices;
  std::vector<int> _triangles;  // float positions
  std::vector<int> _strips;
  std::vector<int> _stripCounts;
  std::vector<int> _fans;
  std::vector<int> _fanCounts;
  std::vector<float> _looseVertices;
  int _openVertexReads = 0;
  int _openArrayReads = 0;
};
