#include "ZarRep.h"

#include "Zar3DBagRep.h"

ZAR_IMPLEMENT_CLASS(ZarRep, ZarBaseUnknown, "ZarPlatform", ZarRetrieveMetaClass)

int ZarRep::ViewMode(int iMode, const void*) const { return _viewModes & iMode; }

void ZarRep::Destroy() {
  AddRef();  // stay alive while the parents let go
  while (!_parents.empty()) _parents.back()->RemoveChildAt(_slotsInParents.back());
  Release();
  Release();
}

void ZarRep::GeometryChanged() {
  for (Zar3DBagRep* parent : _parents) parent->GeometryChanged();
}
