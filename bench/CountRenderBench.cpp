// What counting saves: the count render reads a face's topology only, where a full decoding
// fetches, transforms and hands on every triangle; and a budget ends a traversal early.
#include <benchmark/benchmark.h>

#include "GeosigCountRender.h"
#include "Zar3DBagRep.h"
#include "Zar3DFaceGP.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"

namespace {

// A square grid of iCells x iCells cells, one triangle strip per row.
ZarTessellation StripGrid(unsigned int iCells) {
  ZarTessellation grid;
  for (unsigned int j = 0; j <= iCells; ++j)
    for (unsigned int i = 0; i <= iCells; ++i)
      grid.vertices.insert(grid.vertices.end(), {static_cast<float>(i), static_cast<float>(j), 0.0f});
  for (unsigned int j = 0; j < iCells; ++j) {
    grid.stripCounts.push_back(2 * (iCells + 1));
    for (unsigned int i = 0; i <= iCells; ++i) {
      grid.strips.push_back(j * (iCells + 1) + i);
      grid.strips.push_back((j + 1) * (iCells + 1) + i);
    }
  }
  return grid;
}

ZarRef<ZarSurfacicRep> SurfaceOf(const ZarTessellation& iTessellation, int iFaces) {
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  for (int f = 0; f < iFaces; ++f) surface->AddPrimitive(*ZarRef<Zar3DFaceGP>(new Zar3DFaceGP(iTessellation)));
  return surface;
}

// The least a descriptor can do with each decoded triangle: count it.
class DecodingRender : public GeosigRender {
 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf&, ZarMathPointf&, ZarMathPointf&) override { return S_OK; }
  HRESULT AnalyzeLine(ZarMathPointf&, ZarMathPointf&) override { return S_OK; }
  HRESULT AnalyzePoint(ZarMathPointf&) override { return S_OK; }
};

// One large face under a transformation, as a decoded triangle costs most there.
ZarRef<Zar3DBagRep> LargeFaceModel(unsigned int iCells) {
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  bag->SetMatrix(Zar4x4Matrix(ZarMathVector(1.0, 2.0, 3.0)));
  bag->AddChild(*SurfaceOf(StripGrid(iCells), 1));
  return bag;
}

void BM_CountLargeFace(benchmark::State& state) {
  const unsigned int cells = static_cast<unsigned int>(state.range(0));
  ZarRef<Zar3DBagRep> model = LargeFaceModel(cells);
  for (auto _ : state) {
    GeosigCountRender render;
    render.Traverse(*model);
    int triangles = 0;
    render.GetTriangleNumber(triangles);
    benchmark::DoNotOptimize(triangles);
  }
  state.SetItemsProcessed(state.iterations() * 2 * cells * cells);
}
BENCHMARK(BM_CountLargeFace)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);

void BM_DecodeLargeFace(benchmark::State& state) {
  const unsigned int cells = static_cast<unsigned int>(state.range(0));
  ZarRef<Zar3DBagRep> model = LargeFaceModel(cells);
  for (auto _ : state) {
    DecodingRender render;
    render.Traverse(*model);
    benchmark::DoNotOptimize(render.GetTrianglesCount());
  }
  state.SetItemsProcessed(state.iterations() * 2 * cells * cells);
}
BENCHMARK(BM_DecodeLargeFace)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);

// Many faces counted against a budget of a tenth of their triangles, or without a budget.
void BM_CountWithBudget(benchmark::State& state) {
  const int faces = 2000, cells = 16, triangles = faces * 2 * cells * cells;
  ZarRef<ZarSurfacicRep> model = SurfaceOf(StripGrid(cells), faces);
  const int budget = static_cast<int>(state.range(0)) ? triangles / 10 : 0;
  for (auto _ : state) {
    GeosigCountRender render(budget);
    render.Traverse(*model);
    int counted = 0;
    render.GetTriangleNumber(counted);
    benchmark::DoNotOptimize(counted);
  }
}
BENCHMARK(BM_CountWithBudget)->ArgName("budget")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
