#pragma once
// A visualization line: a point array and a packed description word holding the number
// of points (bits 5 to 24) and the kind (bits 26 and 27: 0 independent segments,
// bit 27 alone a closed polyline, anything else an open one).
#include <cstdint>
#include <vector>

#include "ZarPointListGP.h"

class ZarViz3DLine : public ZarPointListGP {
 public:
  static constexpr std::uint32_t KindSegments = 0;
  static constexpr std::uint32_t KindOpen = 0x04000000u;
  static constexpr std::uint32_t KindClosed = 0x08000000u;
  static constexpr std::uint32_t KindMask = 0x0C000000u;
  // The number of points: (word >> CountShift) & CountMask.
  static constexpr unsigned int CountShift = 5;
  static constexpr std::uint32_t CountMask = 0xFFFFFu;

  // The word is built from the points and the kind. Fails (std::invalid_argument) past 2^20 - 1 points.
  ZarViz3DLine(std::vector<float> iPoints, std::uint32_t iKind);
  // The word as given, whatever it says.
  ZarViz3DLine(std::vector<float> iPoints, std::uint32_t iDescription, bool iRawDescription);

  void Draw(ZarRender& iRender) override;
  const float* GetPoints() const { return Points().empty() ? nullptr : Points().data(); }
  std::uint32_t GetDescription() const { return _description; }

 protected:
  ~ZarViz3DLine() override = default;

 private:
  std::uint32_t _description;
};
