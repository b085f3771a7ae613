#include "Zar3DCylinderGP.h"

#include "ZarRender.h"

void Zar3DCylinderGP::Draw(ZarRender& iRender) { iRender.Draw3DCylinder(*this, 0); }
