#include "Zar3DCurvedPipeGP.h"

#include "ZarRender.h"

void Zar3DCurvedPipeGP::Draw(ZarRender& iRender) { iRender.Draw3DCurvedPipe(*this); }
