#include "Zar3DEdgeGP.h"

#include "ZarRender.h"

void Zar3DEdgeGP::Draw(ZarRender& iRender) { iRender.Draw3DEdge(*this); }
