#include "Zar3DPolylineGP.h"

#include "ZarRender.h"

void Zar3DPolylineGP::Draw(ZarRender& iRender) { iRender.Draw3DPolyline(*this); }
