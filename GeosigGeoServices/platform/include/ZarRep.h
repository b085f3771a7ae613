#pragma once
// A representation: a node of the scene graph. Representations are reference counted; a
// bag holds a reference to each child, and a child knows its parents so that Destroy can
// detach it from all of them. Each link between a bag and a child knows its place on both
// sides, so linking and unlinking cost the same however many parents a child has.
#include <cstddef>
#include <vector>

#include "ZarBaseUnknown.h"
#include "ZarGraphicAttributeSet.h"

class ZarRender;
class Zar3DBagRep;

class ZarRep : public ZarBaseUnknown {
  ZAR_DECLARE_CLASS

 public:
  // View modes a representation can be in (ViewMode tests them).
  static constexpr int ViewModeHidden = 256;

  virtual int IsA3DRep() const { return 0; }
  // Non-zero when the representation is in any of the modes of iMode.
  virtual int ViewMode(int iMode, const void* iViewpoint) const;
  void SetViewMode(int iModes) { _viewModes = iModes; }

  const ZarGraphicAttributeSet& GetAttributeSet() const { return _attributes; }
  void SetAttributeSet(const ZarGraphicAttributeSet& iAttributes) { _attributes = iAttributes; }

  // One entry per occurrence of the representation in a bag, in no particular order.
  const std::vector<Zar3DBagRep*>& GetParents() const { return _parents; }
  // Detaches the representation from every parent, then drops the caller's reference.
  void Destroy();

  // Lets iRender visit this representation and what it holds (ZarRender::Traverse).
  virtual void Accept(ZarRender& iRender) = 0;

 protected:
  ZarRep() = default;
  ~ZarRep() override = default;
  // Called when the geometry under this representation changed.
  virtual void GeometryChanged();

 private:
  friend class Zar3DBagRep;
  ZarGraphicAttributeSet _attributes;
  int _viewModes = 0;
  std::vector<Zar3DBagRep*> _parents;
  // For each parent, the index of the occurrence in that parent's children it stands for.
  std::vector<std::size_t> _slotsInParents;
};
