#pragma once
// The pose normalisation of a model as `describe` computes it: the centring on the
// barycenter, the scaling into the unit ball and the rotation onto the principal axes (applied
// in this order), with the norm and the principal values about the barycenter.
#include <functional>

#include "Zar4x4Matrix.h"
#include "ZarRep.h"

struct ShapePose {
  Zar4x4Matrix centring;
  Zar4x4Matrix unitBall;
  Zar4x4Matrix onPrincipalAxes;
  float norm = 0.0f;
  float values[3] = {0.0f, 0.0f, 0.0f};  // decreasing
};

// Computes the pose of a model; throws std::runtime_error naming the reason when the model
// has none (no triangle, no area, nothing to scale).
using PoseFinder = std::function<ShapePose(ZarRep& ioModel)>;
