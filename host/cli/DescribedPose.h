#pragma once
// The pose normalisation that `describe` reports, as the shape signature takes it.
#include "ReportValues.h"
#include "ShapePose.h"

// Reads the pose from the descriptors of DescribeTree; throws std::runtime_error when the
// model has none (no area, nothing to scale, no principal axes).
ShapePose PoseOfDescriptors(const Report& iDescriptors);

// Describes the model and reads its pose: the PoseFinder of the signatures.
ShapePose DescribedPose(ZarRep& ioModel);
