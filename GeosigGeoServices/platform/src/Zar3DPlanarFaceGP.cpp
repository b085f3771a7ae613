#include "Zar3DPlanarFaceGP.h"

#include "ZarRender.h"

void Zar3DPlanarFaceGP::Draw(ZarRender& iRender) { iRender.Draw3DPlanarFace(*this); }
