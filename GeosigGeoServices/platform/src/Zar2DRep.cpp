#include "Zar2DRep.h"

#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(Zar2DRep, ZarRep, "ZarPlatform", ZarRetrieveMetaClass)

Zar2DRep* Zar2DRep::CreateRep(const Zar2DBoundingBox& iBox) { return new Zar2DRep(iBox); }

void Zar2DRep::Accept(ZarRender& iRender) {
  if (!iRender.IsDrawable(GetAttributeSet(), _box, *this)) return;
  iRender.DrawRepresentation(*this);
}
