#pragma once
// The bag that the voxels of an octree share: it records the edge of the cube it stands for
// and can scale its children uniformly about its origin, so that every voxel is drawn as
// large as the voxel or slightly larger.
#include "Zar3DFinalBagRep.h"

class GeosigOffsetRep : public Zar3DFinalBagRep {
  ZAR_DECLARE_CLASS

 public:
  // A negative size is taken as 0. Allocated with the bag family's class operator new, which
  // answers null when memory runs out; the creator holds the one reference.
  explicit GeosigOffsetRep(float iSize);

  float GetSize() const { return _size; }
  // Scales the children by (size + offset) / size, so that a cube of edge size centred on the
  // origin is drawn with edge size + offset. Does nothing unless both are positive.
  void SetOffset(float iOffset);

 protected:
  ~GeosigOffsetRep() override;

 private:
  float _size;
};
