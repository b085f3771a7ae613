#include "Zar3DMarkerGP.h"

#include "ZarRender.h"

void Zar3DMarkerGP::Draw(ZarRender& iRender) { iRender.Draw3DMarker(*this); }
