#include "SurfaceAreaRender.h"

HRESULT SurfaceAreaRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  _area += TriangleArea(ioA, ioB, ioC);
  return S_OK;
}

HRESULT SurfaceAreaRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }

HRESULT SurfaceAreaRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }
