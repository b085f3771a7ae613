#pragma once
// A graphic primitive held by a surfacic representation.
#include "ZarBaseUnknown.h"
#include "ZarBounding.h"

class ZarRender;

class ZarGraphicPrimitive : public ZarBaseUnknown {
 public:
  // Calls the render's drawing operation for this kind of primitive.
  virtual void Draw(ZarRender& iRender) = 0;
  // Widens iBounds by the primitive's geometry, in the frame of its representation.
  virtual void ExtendBounds(ZarBoundsf& iBounds) const = 0;

  // The tessellation getter of surfacic elements (see Zar3DBoundingGP): indices are float
  // positions in the vertex array. A primitive without tessellation leaves the outputs as
  // they were. The three trailing arguments are reserved and must be null.
  virtual void GetArrays(int* oFlag, const float** oVertices, int* oVertexSize, const float** oNormals,
                         int* oNormalSize, const int** oTriangles, int* oNbTriangles, const int** oStrips,
                         int* oNbStrips, const int** oStripCounts, const int** oFans, int* oNbFans,
                         const int** oFanCounts, const void* iReserved1, const void* iReserved2,
                         const void* iReserved3);
  // Releases what GetArrays handed out, given the same outputs.
  virtual void Clear(int* ioFlag, const float** ioVertices, int* ioVertexSize, const float** ioNormals,
                     int* ioNormalSize, const int** ioTriangles, int* ioNbTriangles, const int** ioStrips,
                     int* ioNbStrips, const int** ioStripCounts, const int** ioFans, int* ioNbFans,
                     const int** ioFanCounts);

 protected:
  ~ZarGraphicPrimitive() override = default;
};
