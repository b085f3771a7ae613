#include "GeosigRepIntersectRender.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ClassIdentity.h"
#include "SceneBuilder.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPolylineGP.h"

namespace {

ZarMathLine XAxis() { return ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0)); }

// A surface of loose points only.
ZarRef<ZarSurfacicRep> LoosePoints(std::initializer_list<ZarMathPointf> iPoints) {
  return scene::Surface({ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP({}, scene::Coordinates(iPoints))).get()});
}

// The result, from marker values, so that untouched outputs can be recognised.
struct Result {
  ZarMathPoint onLine{-7, -7, -7}, nearest{-7, -7, -7};
  double distance = -7.0;
  HRESULT status;  // after the outputs, which it fills
  explicit Result(const GeosigRepIntersectRender& iRender) : status(iRender.GetResult(onLine, nearest, distance)) {}
};

TEST(GeosigRepIntersectRender, KeepsTheFirstNearestVertexOnItsOwnCopyOfTheLineWhichResetMayReplace) {
  ZarMathLine* line = new ZarMathLine(XAxis());
  GeosigRepIntersectRender render(*line);
  *line = ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  delete line;
  const Result fresh(render);
  EXPECT_EQ(fresh.status, E_FAIL);
  EXPECT_EQ(fresh.nearest, ZarMathPoint(-7, -7, -7));
  EXPECT_EQ(fresh.distance, -7.0);

  // Among equally near vertices the first analysed stays.
  ZarRef<ZarSurfacicRep> points = LoosePoints({{5, 0, 3}, {1, 2, 0}, {-2, 3, 0}, {9, 0, -3}, {1, 0, 2}, {0, 4, 0}});
  render.Traverse(*points);
  const Result r(render);
  ASSERT_EQ(r.status, S_OK);
  EXPECT_EQ(r.onLine, ZarMathPoint(1, 0, 0));
  EXPECT_EQ(r.nearest, ZarMathPoint(1, 2, 0));
  EXPECT_EQ(r.distance, 2.0);

  ZarMathLine yAxis(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  for (const auto& [replacement, nearest] :
       {std::pair<ZarMathLine*, ZarMathPoint>{nullptr, {1, 2, 0}}, {&yAxis, {0, 4, 0}}}) {
    render.Reset(replacement);  // without a line, the result only is cleared
    EXPECT_EQ(Result(render).status, E_FAIL);
    render.Traverse(*points);
    EXPECT_EQ(Result(render).nearest, nearest);
  }
}

TEST(GeosigRepIntersectRender, WithoutALineEveryAnalysisFails) {
  ZarMathLine vertical(ZarMathPoint(1, 1, -5), ZarMathVector(0, 0, 1));
  GeosigRepIntersectRender withSupport(vertical);  // the shared support exists before memory runs out
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ScopedAllocationFailure noMemory(0);  // the line cannot be copied
  GeosigRepIntersectRender lineless(vertical);
  for (int pass = 0; pass < 2; ++pass) {
    lineless.Traverse(*box);
    EXPECT_EQ(lineless.GetTrianglesCount(), pass + 1u);  // the first failing triangle ends the face
    EXPECT_EQ(Result(lineless).status, E_FAIL);
    lineless.Reset(&vertical);
  }
}

TEST(GeosigRepIntersectRender, HasAClassIdentityAndLetsThePlatformChooseTheLevelOfDetail) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  ExpectOwnClassIdentity<GeosigRepIntersectRender>(render, "GeosigRepIntersectRender", ZarRender::MetaObject());
  // The fine level has a vertex near the line, the coarse one, within the model sag, a farther one.
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 0.1f, 0}, {1, 3, 0}, {2, 3, 0})), 0);
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 1, 0}, {1, 3, 0}, {2, 3, 0})), 1);
  surface->SetLevelSag(1, 0.2f);
  render.SetModelSag(0.5f);
  render.Traverse(*surface);
  EXPECT_EQ(Result(render).distance, 1.0);
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
  ZarMathLine first = XAxis();
  GeosigRepIntersectRender render(first);
  for (int trial = 0; trial < 25; ++trial) {
    ZarMathLine line(ZarMathPoint(value(generator), value(generator), value(generator)),
                     ZarMathVector(value(generator), value(generator), value(generator)));
    render.Reset(&line);
    render.Traverse(*root);
    const ZarMathPointf* best = &world.front();
    for (const ZarMathPointf& vertex : world)
      if (line.DistanceTo(ZarMathPoint(vertex)) < line.DistanceTo(ZarMathPoint(*best))) best = &vertex;
    const Result r(render);
    ASSERT_EQ(r.status, S_OK);
    EXPECT_EQ(r.distance, line.DistanceTo(ZarMathPoint(*best))) << trial;
    EXPECT_EQ(r.nearest, ZarMathPoint(*best)) << trial;
    ZarMathPoint foot;
    line.Project(ZarMathPoint(*best), foot);
    EXPECT_EQ(r.onLine, ZarMathPoint(ZarMathPointf(float(foot.x), float(foot.y), float(foot.z)))) << trial;
  }
}

}  // namespace
