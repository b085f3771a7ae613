#pragma once
// A line primitive: points joined as independent segments, an open or a closed polyline.
#include "ZarPointListGP.h"

class Zar3DLineGP : public ZarPointListGP {
 public:
  enum LineType { IndependentSegments = 0, OpenPolyline = 1, ClosedPolyline = 2 };

  Zar3DLineGP(std::vector<float> iPoints, int iLineType) : ZarPointListGP(std::move(iPoints)), _lineType(iLineType) {}
  void Draw(ZarRender& iRender) override;
  // The points (null when there are none), their number and the line type.
  void GetReadOnly(const float** oPoints, int* oCount, int* oLineType) const;

 protected:
  ~Zar3DLineGP() override = default;

 private:
  int _lineType;
};
