#include "GeosigRepIntersectRender.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ClassIdentity.h"
#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPolylineGP.h"
#include "ZarViz3DLine.h"

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

TEST(GeosigRepIntersectRender, ReportsTheProjectionTheFirstNearestVertexAndTheDistance) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  const Result fresh(render);
  EXPECT_EQ(fresh.status, E_FAIL);
  EXPECT_EQ(fresh.onLine, ZarMathPoint(-7, -7, -7));
  EXPECT_EQ(fresh.nearest, ZarMathPoint(-7, -7, -7));
  EXPECT_EQ(fresh.distance, -7.0);

  // Among equally near vertices the first analysed stays.
  render.Traverse(*LoosePoints({{5, 0, 3}, {1, 2, 0}, {-2, 3, 0}, {9, 0, -3}, {1, 0, 2}}));
  const Result r(render);
  ASSERT_EQ(r.status, S_OK);
  EXPECT_EQ(r.onLine, ZarMathPoint(1, 0, 0));
  EXPECT_EQ(r.nearest, ZarMathPoint(1, 2, 0));
  EXPECT_EQ(r.distance, 2.0);

  // Only vertices count, not the interiors of triangles.
  ZarMathLine vertical(ZarMathPoint(1, 1, -5), ZarMathVector(0, 0, 1));
  render.Reset(&vertical);
  render.Traverse(*scene::Surface(scene::Triangle({0, 0, 0}, {4, 0, 0}, {0, 4, 0})));
  const Result t(render);
  EXPECT_EQ(t.nearest, ZarMathPoint(0, 0, 0));
  EXPECT_DOUBLE_EQ(t.distance, std::sqrt(2.0));
  EXPECT_EQ(t.onLine, ZarMathPoint(1, 1, 0));
}

TEST(GeosigRepIntersectRender, WorksOnItsOwnCopyOfTheLineWhichResetMayReplace) {
  ZarMathLine* line = new ZarMathLine(XAxis());
  GeosigRepIntersectRender render(*line);
  *line = ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  delete line;
  ZarRef<ZarSurfacicRep> points = LoosePoints({{0, 4, 0}, {7, 0, 1}});
  render.Traverse(*points);
  EXPECT_EQ(Result(render).nearest, ZarMathPoint(7, 0, 1));

  render.Reset(nullptr);
  EXPECT_EQ(Result(render).status, E_FAIL);
  render.Traverse(*points);
  EXPECT_EQ(Result(render).nearest, ZarMathPoint(7, 0, 1));  // still the x axis
  ZarMathLine yAxis(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  render.Reset(&yAxis);
  EXPECT_EQ(Result(render).status, E_FAIL);
  render.Traverse(*points);
  EXPECT_EQ(Result(render).nearest, ZarMathPoint(0, 4, 0));
}

TEST(GeosigRepIntersectRender, WithoutALineEveryAnalysisFails) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender withSupport(line);  // the shared support exists before memory runs out
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ScopedAllocationFailure noMemory(0);
  GeosigRepIntersectRender render(line);
  render.Traverse(*box);
  EXPECT_EQ(render.GetTrianglesCount(), 1u);  // the first failing triangle ends the face
  EXPECT_EQ(Result(render).status, E_FAIL);
  render.Reset(&line);
  render.Traverse(*box);
  EXPECT_EQ(Result(render).status, E_FAIL);
}

TEST(GeosigRepIntersectRender, HasAClassIdentityAndLetsThePlatformChooseTheLevelOfDetail) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  ExpectOwnClassIdentity<GeosigRepIntersectRender>(render, "GeosigRepIntersectRender", ZarRender::MetaObject());

  // The fine level has a vertex near the line, the coarse one only a farther vertex.
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 0.1f, 0}, {1, 3, 0}, {2, 3, 0})), 0);
  surface->AddPrimitive(*scene::Face(scene::Triangle({0, 1, 0}, {1, 3, 0}, {2, 3, 0})), 1);
  const auto distance = [&](float iModelSag) {
    render.SetModelSag(iModelSag);
    render.Reset(nullptr);
    render.Traverse(*surface);
    return Result(render).distance;
  };
  EXPECT_EQ(distance(0.5f), static_cast<double>(0.1f));  // a level of unknown sag is not preferred
  surface->SetLevelSag(1, 0.2f);
  EXPECT_EQ(distance(0.5f), 1.0);
  EXPECT_EQ(distance(0.0f), static_cast<double>(0.1f));
}

// The world image of every vertex of a coordinate array.
void AddImages(const Zar4x4Matrix& iWorld, const std::vector<float>& iCoordinates, std::vector<ZarMathPointf>& ioWorld) {
  for (std::size_t k = 0; k + 2 < iCoordinates.size(); k += 3) ioWorld.push_back(iWorld * ZarMathPointf(&iCoordinates[k]));
}

// A scene of every kind of primitive under nested transformations.
TEST(GeosigRepIntersectRender, NearestVertexOfAMixedSceneIsTheOneABruteForceSearchFinds) {
  const Zar4x4Matrix outer = scene::Rotation(0.6, 0.8, 0, 0.7) * scene::Translation(1, -2, 0.5);
  const Zar4x4Matrix inner = scene::Scaling(0.5) * scene::Translation(-3, 0, 2), side = scene::Translation(4, 4, -1);
  const ZarTessellation patch = scene::RandomPatch(11, 90, 4.0f), cylinderPatch = scene::RandomPatch(12, 45, 2.0f);
  const std::vector<float> loose = scene::RandomPatch(13, 40, 6.0f).vertices;
  const std::vector<float> polyline = scene::RandomPatch(14, 7, 5.0f).vertices;
  const std::vector<float> segments = scene::RandomPatch(15, 8, 5.0f).vertices;
  const std::vector<float> strip = scene::RandomPatch(16, 9, 3.0f).vertices;
  const std::vector<float> vizLine = scene::RandomPatch(17, 6, 3.0f).vertices;

  ZarRef<ZarSurfacicRep> outerSurface = scene::Surface(
      {scene::Face(patch).get(), ZarRef<Zar3DPolylineGP>(new Zar3DPolylineGP(polyline, Zar3DLineGP::ClosedPolyline)).get(),
       ZarRef<Zar3DLineGP>(new Zar3DLineGP(segments, Zar3DLineGP::IndependentSegments)).get()});
  ZarRef<ZarSurfacicRep> innerSurface =
      scene::Surface({ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP({}, loose)).get(),
                      ZarRef<Zar3DCylinderGP>(new Zar3DCylinderGP(cylinderPatch, loose)).get()});
  ZarRef<VisPrimitive> primitive(new VisPrimitive());
  primitive->AddItem(VisSGPrimitiveItem::TriangleStrip, strip);
  primitive->AddItem(VisSGPrimitiveItem::LineLoop, polyline);
  ZarRef<ZarSurfacicRep> vizSurface =
      scene::Surface({ZarRef<ZarViz3DLine>(new ZarViz3DLine(vizLine, ZarViz3DLine::KindOpen)).get()});
  ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {innerSurface.get()});
  ZarRef<Zar3DBagRep> outerBag = scene::Bag(outer, {outerSurface.get(), innerBag.get()});
  ZarRef<Zar3DBagRep> sideBag = scene::Bag(side, {scene::VisGroup({primitive.get()}).get(), vizSurface.get()});
  ZarRef<Zar3DBagRep> root = scene::Bag({outerBag.get(), sideBag.get()});

  std::vector<ZarMathPointf> world;
  for (const ZarTessellation* t : {&patch, &cylinderPatch}) {  // the vertices the topology uses
    std::vector<float> used;
    for (const std::vector<unsigned int>* indices : {&t->triangles, &t->fans, &t->strips})
      for (unsigned int index : *indices) used.insert(used.end(), &t->vertices[3 * index], &t->vertices[3 * index + 3]);
    AddImages(t == &patch ? outer : inner * outer, used, world);
  }
  for (const std::vector<float>* coordinates : {&polyline, &segments}) AddImages(outer, *coordinates, world);
  AddImages(inner * outer, loose, world);
  for (const std::vector<float>* coordinates : {&strip, &polyline, &vizLine}) AddImages(side, *coordinates, world);

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
