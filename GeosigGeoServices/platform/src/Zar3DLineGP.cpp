#include "Zar3DLineGP.h"

#include "ZarRender.h"

void Zar3DLineGP::Draw(ZarRender& iRender) { iRender.Draw3DLine(*this); }

void Zar3DLineGP::GetReadOnly(const float** oPoints, int* oCount, int* oLineType) const {
  *oPoints = Points().empty() ? nullptr : Points().data();
  *oCount = PointCount();
  *oLineType = _lineType;
}
