#include "GeosigRepIntersectRender.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "SceneBuilder.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPolylineGP.h"

namespace {

using Answer = std::tuple<HRESULT, ZarMathPoint, ZarMathPoint, double>;
const ZarMathPoint untouched(-7, -7, -7);

// The status, point on the line, nearest vertex and distance, the outputs starting from markers.
Answer ResultOf(const GeosigRepIntersectRender& iRender) {
  Answer answer(E_FAIL, untouched, untouched, -7.0);
  std::get<0>(answer) = iRender.GetResult(std::get<1>(answer), std::get<2>(answer), std::get<3>(answer));
  return answer;
}

TEST(GeosigRepIntersectRender, KeepsTheFirstNearestVertexOnItsOwnCopyOfTheLineWhichResetMayReplace) {
  ZarMathLine* line = new ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  GeosigRepIntersectRender render(*line);
  *line = ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  delete line;
  EXPECT_EQ(ResultOf(render), Answer(E_FAIL, untouched, untouched, -7.0));

  // Among equally near vertices the first analysed stays.
  const std::vector<float> coordinates =
      scene::Coordinates({{5, 0, 3}, {1, 2, 0}, {-2, 3, 0}, {9, 0, -3}, {1, 0, 2}, {0, 4, 0}});
  ZarRef<ZarSurfacicRep> points = scene::Surface({ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP({}, coordinates)).get()});
  render.Traverse(*points);
  EXPECT_EQ(ResultOf(render), Answer(S_OK, ZarMathPoint(1, 0, 0), ZarMathPoint(1, 2, 0), 2.0));
  ZarMathLine yAxis(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  for (const auto& [replacement, nearest] :
       {std::pair<ZarMathLine*, ZarMathPoint>{nullptr, {1, 2, 0}}, {&yAxis, {0, 4, 0}}}) {
    render.Reset(replacement);  // without a line, the result only is cleared
    EXPECT_EQ(std::get<0>(ResultOf(render)), E_FAIL);
    render.Traverse(*points);
    EXPECT_EQ(std::get<2>(ResultOf(render)), nearest);
  }
}

TEST(GeosigRepIntersectRender, LetsThePlatformChooseTheLevelOfDetail) {
  ZarMathLine line(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  GeosigRepIntersectRender render(line);
  // The fine level has a vertex near the line, the coarse one, within the model sag, a farther one.
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 0.1f, 0}, {1, 3, 0}, {2, 3, 0})), 0);
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 1, 0}, {1, 3, 0}, {2, 3, 0})), 1);
  surface->SetLevelSag(1, 0.2f);
  render.SetModelSag(0.5f);
  render.Traverse(*surface);
  EXPECT_EQ(std::get<3>(ResultOf(render)), 1.0);
}

// Triangles, a polyline and loose points under nested transformations.
TEST(GeosigRepIntersectRender, NearestVertexOfAMixedSceneIsTheOneABruteForceSearchFinds) {
  const Zar4x4Matrix outer = scene::Rotation(0.6, 0.8, 0, 0.7) * scene::Translation(1, -2, 0.5);
  const Zar4x4Matrix inner = scene::Scaling(0.5) * scene::Translation(-3, 0, 2);
  const ZarTessellation patch = scene::RandomPatch(11, 90, 4.0f);
  const std::vector<float> loose = scene::RandomPatch(13, 40, 6.0f).vertices;
  const std::vector<float> polyline = scene::RandomPatch(14, 7, 5.0f).vertices;
  ZarRef<ZarSurfacicRep> outerSurface =
      scene::Surface({scene::Face(patch).get(),
                      ZarRef<Zar3DPolylineGP>(new Zar3DPolylineGP(polyline, Zar3DLineGP::ClosedPolyline)).get()});
  ZarRef<ZarSurfacicRep> innerSurface = scene::Surface({ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP({}, loose)).get()});
  ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {innerSurface.get()});
  ZarRef<Zar3DBagRep> root = scene::Bag({scene::Bag(outer, {outerSurface.get(), innerBag.get()}).get()});

  std::vector<ZarMathPointf> world;  // every vertex the traversal hands on, in the world frame
  for (const std::vector<unsigned int>* indices : {&patch.triangles, &patch.fans, &patch.strips})
    for (unsigned int index : *indices) world.push_back(outer * ZarMathPointf(&patch.vertices[3 * index]));
  for (std::size_t k = 0; k < polyline.size(); k += 3) world.push_back(outer * ZarMathPointf(&polyline[k]));
  for (std::size_t k = 0; k < loose.size(); k += 3) world.push_back((inner * outer) * ZarMathPointf(&loose[k]));

  std::mt19937 generator(5);
  std::uniform_real_distribution<double> value(-3.0, 3.0);
  ZarMathLine xAxis(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  GeosigRepIntersectRender render(xAxis);
  for (int trial = 0; trial < 25; ++trial) {
    ZarMathLine line(ZarMathPoint(value(generator), value(generator), value(generator)),
                     ZarMathVector(value(generator), value(generator), value(generator)));
    render.Reset(&line);
    render.Traverse(*root);
    const ZarMathPointf* best = &world.front();
    for (const ZarMathPointf& vertex : world)
      if (line.DistanceTo(ZarMathPoint(vertex)) < line.DistanceTo(ZarMathPoint(*best))) best = &vertex;
    ZarMathPoint foot;
    line.Project(ZarMathPoint(*best), foot);
    const ZarMathPoint onLine(ZarMathPointf(float(foot.x), float(foot.y), float(foot.z)));
    EXPECT_EQ(ResultOf(render), Answer(S_OK, onLine, ZarMathPoint(*best), line.DistanceTo(ZarMathPoint(*best))))
        << trial;
  }
}

}  // namespace
