#pragma once
// Graphic attributes of a representation or primitive, and its material.

struct ZarGraphicAttributeSet {
  int layer = 0;
  int hidden = 0;  // non-zero: not shown
  unsigned int color = 0xFFFFFFFFu;

  bool operator==(const ZarGraphicAttributeSet& o) const {
    return layer == o.layer && hidden == o.hidden && color == o.color;
  }
  bool operator!=(const ZarGraphicAttributeSet& o) const { return !(*this == o); }
};

struct ZarGraphicMaterial {
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
};

// Attributes of visualization geometry (asked about by one IsDrawable overload).
struct ZarVizAttribute {
  int lineWidth = 1;
};
