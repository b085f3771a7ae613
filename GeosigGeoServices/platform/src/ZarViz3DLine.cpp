#include "ZarViz3DLine.h"

#include <stdexcept>

#include "ZarRender.h"

ZarViz3DLine::ZarViz3DLine(std::vector<float> iPoints, std::uint32_t iKind) : ZarPointListGP(std::move(iPoints)) {
  const std::uint32_t count = static_cast<std::uint32_t>(PointCount());
  if (count > CountMask) throw std::invalid_argument("visualization line of more than 2^20 - 1 points");
  _description = (count << CountShift) | (iKind & KindMask);
}

ZarViz3DLine::ZarViz3DLine(std::vector<float> iPoints, std::uint32_t iDescription, bool)
    : ZarPointListGP(std::move(iPoints)), _description(iDescription) {}

void ZarViz3DLine::Draw(ZarRender& iRender) { iRender.DrawZarViz3DLine(this); }
