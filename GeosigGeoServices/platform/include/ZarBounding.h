#pragma once
#include <cstddef>
// Bounding volumes that the traversal asks the render about.

// A sphere in the frame of the parent of the representation it bounds.
struct Zar3DBoundingSphere {
  // Three low bits: the state code.
  static constexpr unsigned int StateValid = 0;
  static constexpr unsigned int StateEmpty = 2;  // nothing to draw

  unsigned int flags = StateEmpty;
  float center[3] = {0.0f, 0.0f, 0.0f};
  float radius = 0.0f;
  // Positive for a representation drawn at a fixed screen size.
  float fixedSize = 0.0f;

  unsigned int State() const { return flags & 7u; }
  bool IsEmpty() const { return State() == StateEmpty; }
};

struct Zar2DBoundingBox {
  float min[2] = {0.0f, 0.0f};
  float max[2] = {0.0f, 0.0f};
};

// An axis-aligned box being gathered, used to derive bounding spheres.
struct ZarBoundsf {
  float min[3] = {0.0f, 0.0f, 0.0f};
  float max[3] = {0.0f, 0.0f, 0.0f};
  bool empty = true;

  void Add(const float* iXyz) {
    for (int k = 0; k < 3; ++k) {
      if (empty || iXyz[k] < min[k]) min[k] = iXyz[k];
      if (empty || iXyz[k] > max[k]) max[k] = iXyz[k];
    }
    empty = false;
  }
  void AddPoints(const float* iXyz, std::size_t iFloatCount) {
    for (std::size_t i = 0; i + 2 < iFloatCount; i += 3) Add(iXyz + i);
  }
  // The sphere around the box, slightly padded so that it stays conservative in float.
  Zar3DBoundingSphere Sphere() const;
};
