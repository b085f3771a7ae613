#include "GeosigRepIntersectRender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

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
  ZarRef<Zar3DBoundingGP> points(new Zar3DBoundingGP(ZarTessellation(), scene::Coordinates(iPoints)));
  return scene::Surface({points.get()});
}

struct Result {
  HRESULT status;
  ZarMathPoint onLine, nearest;
  double distance;
};

// Outputs start from a marker value, so that untouched outputs can be recognised.
Result ResultOf(const GeosigRepIntersectRender& iRender) {
  Result r{S_OK, ZarMathPoint(-7, -7, -7), ZarMathPoint(-7, -7, -7), -7.0};
  r.status = iRender.GetResult(r.onLine, r.nearest, r.distance);
  return r;
}

TEST(GeosigRepIntersectRender, ReportsTheProjectionTheVertexAndTheDistance) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  render.Traverse(*LoosePoints({ZarMathPointf(1, 2, 0)}));
  const Result r = ResultOf(render);
  ASSERT_EQ(r.status, S_OK);
  EXPECT_EQ(r.onLine, ZarMathPoint(1, 0, 0));
  EXPECT_EQ(r.nearest, ZarMathPoint(1, 2, 0));
  EXPECT_EQ(r.distance, 2.0);
}

TEST(GeosigRepIntersectRender, AFreshRenderFailsAndLeavesTheOutputsAlone) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  const Result r = ResultOf(render);
  EXPECT_EQ(r.status, E_FAIL);
  EXPECT_EQ(r.onLine, ZarMathPoint(-7, -7, -7));
  EXPECT_EQ(r.nearest, ZarMathPoint(-7, -7, -7));
  EXPECT_EQ(r.distance, -7.0);
}

TEST(GeosigRepIntersectRender, AmongEquallyNearVerticesTheFirstAnalysedStays) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  render.Traverse(*LoosePoints({ZarMathPointf(5, 0, 3), ZarMathPointf(-2, 3, 0), ZarMathPointf(9, 0, -3)}));
  EXPECT_EQ(ResultOf(render).nearest, ZarMathPoint(5, 0, 3));
}

TEST(GeosigRepIntersectRender, OnlyVerticesCountNotTriangleInteriors) {
  ZarMathLine vertical(ZarMathPoint(1, 1, -5), ZarMathVector(0, 0, 1));
  GeosigRepIntersectRender render(vertical);
  render.Traverse(*scene::Surface(scene::Triangle(ZarMathPointf(0, 0, 0), ZarMathPointf(4, 0, 0), ZarMathPointf(0, 4, 0))));
  const Result r = ResultOf(render);
  ASSERT_EQ(r.status, S_OK);
  EXPECT_EQ(r.nearest, ZarMathPoint(0, 0, 0));
  EXPECT_DOUBLE_EQ(r.distance, std::sqrt(2.0));
  EXPECT_EQ(r.onLine, ZarMathPoint(1, 1, 0));
}

TEST(GeosigRepIntersectRender, ResetClearsTheResultAndMaySwitchLines) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  ZarRef<ZarSurfacicRep> points = LoosePoints({ZarMathPointf(0, 1, 0), ZarMathPointf(0, 0, 3)});
  render.Traverse(*points);
  ASSERT_EQ(ResultOf(render).nearest, ZarMathPoint(0, 1, 0));
  const std::uint32_t triangles = render.GetTrianglesCount();

  render.Reset(nullptr);
  EXPECT_EQ(ResultOf(render).status, E_FAIL);
  render.Traverse(*points);
  EXPECT_EQ(ResultOf(render).nearest, ZarMathPoint(0, 1, 0));  // still the x axis

  ZarMathLine zAxis(ZarMathPoint(0, 0, 0), ZarMathVector(0, 0, 1));
  render.Reset(&zAxis);
  EXPECT_EQ(ResultOf(render).status, E_FAIL);
  render.Traverse(*points);
  EXPECT_EQ(ResultOf(render).nearest, ZarMathPoint(0, 0, 3));
  EXPECT_EQ(render.GetTrianglesCount(), triangles);
}

TEST(GeosigRepIntersectRender, WorksOnItsOwnCopyOfTheLine) {
  ZarMathLine* line = new ZarMathLine(XAxis());
  GeosigRepIntersectRender render(*line);
  *line = ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  delete line;
  render.Traverse(*LoosePoints({ZarMathPointf(0, 4, 0), ZarMathPointf(7, 0, 1)}));
  EXPECT_EQ(ResultOf(render).nearest, ZarMathPoint(7, 0, 1));
}

TEST(GeosigRepIntersectRender, WithoutALineEveryAnalysisFails) {
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender withSupport(line);  // the shared support exists before memory runs out
  ZarRef<ZarSurfacicRep> square = scene::Surface(scene::Box(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1)));
  {
    ScopedAllocationFailure noMemory(0);
    GeosigRepIntersectRender render(line);
    render.Traverse(*square);
    EXPECT_EQ(render.GetTrianglesCount(), 1u);  // the first failing triangle ends the face
    EXPECT_EQ(ResultOf(render).status, E_FAIL);
    render.Reset(&line);
    render.Traverse(*square);
    EXPECT_EQ(ResultOf(render).status, E_FAIL);
  }
}

TEST(GeosigRepIntersectRender, HasItsOwnClassIdentity) {
  const ZarMetaClass* meta = GeosigRepIntersectRender::MetaObject();
  ASSERT_NE(meta, nullptr);
  EXPECT_STREQ(GeosigRepIntersectRender::ClassName(), "GeosigRepIntersectRender");
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(meta->Base(), ZarRender::MetaObject());
  EXPECT_EQ(meta->TypeOfClass(), 1);
  EXPECT_EQ(meta->ObjectSize(), sizeof(GeosigRepIntersectRender));
  EXPECT_EQ(&GeosigRepIntersectRender::ClassId(), &meta->ClassId());
  EXPECT_EQ(GeosigRepIntersectRender::CreateItself(), nullptr);

  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  const ZarBaseUnknown& object = render;
  EXPECT_EQ(object.GetMetaObject(), meta);
  EXPECT_STREQ(object.IsA(), "GeosigRepIntersectRender");
  EXPECT_TRUE(object.IsAKindOf("GeosigRepIntersectRender"));
  EXPECT_TRUE(object.IsAKindOf("ZarRender"));
  EXPECT_FALSE(object.IsAKindOf("GeosigNormRender"));
}

TEST(GeosigRepIntersectRender, LetsThePlatformChooseTheLevelOfDetail) {
  // The fine level has a vertex near the line, the coarse one only a farther vertex.
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  surface->AddPrimitive(
      *scene::Face(scene::Triangle(ZarMathPointf(0, 0.1f, 0), ZarMathPointf(1, 3, 0), ZarMathPointf(2, 3, 0))), 0);
  surface->AddPrimitive(
      *scene::Face(scene::Triangle(ZarMathPointf(0, 1, 0), ZarMathPointf(1, 3, 0), ZarMathPointf(2, 3, 0))), 1);
  ZarMathLine line = XAxis();
  GeosigRepIntersectRender render(line);
  RecordingRender finest;  // the render base always takes the finest level
  render.SetModelSag(0.5f);
  finest.SetModelSag(0.5f);
  auto distance = [&] {
    render.Reset(nullptr);
    render.Traverse(*surface);
    return ResultOf(render).distance;
  };

  EXPECT_EQ(distance(), static_cast<double>(0.1f));  // a level of unknown sag is not preferred
  surface->SetLevelSag(1, 0.2f);
  EXPECT_EQ(distance(), 1.0);
  render.SetModelSag(0.0f);
  EXPECT_EQ(distance(), static_cast<double>(0.1f));

  finest.Traverse(*surface);
  ASSERT_EQ(finest.triangles.size(), 1u);
  EXPECT_EQ(finest.triangles[0].a, ZarMathPointf(0, 0.1f, 0));
}

// A scene of every kind of primitive under nested transformations, with the world image of
// every vertex the traversal hands on.
class MixedScene : public ::testing::Test {
 protected:
  void SetUp() override {
    const Zar4x4Matrix outer = scene::Rotation(0.6, 0.8, 0, 0.7) * scene::Translation(1, -2, 0.5);
    const Zar4x4Matrix inner = scene::Scaling(0.5) * scene::Translation(-3, 0, 2);
    const Zar4x4Matrix side = scene::Translation(4, 4, -1);
    const Zar4x4Matrix innerWorld = inner * outer;

    const ZarTessellation patch = scene::RandomPatch(11, 90, 4.0f);
    const ZarTessellation cylinderPatch = scene::RandomPatch(12, 45, 2.0f);
    const std::vector<float> loose = scene::RandomPatch(13, 40, 6.0f).vertices;
    const std::vector<float> polyline = scene::RandomPatch(14, 7, 5.0f).vertices;
    const std::vector<float> segments = scene::RandomPatch(15, 8, 5.0f).vertices;
    const std::vector<float> strip = scene::RandomPatch(16, 9, 3.0f).vertices;
    const std::vector<float> vizLine = scene::RandomPatch(17, 6, 3.0f).vertices;

    ZarRef<ZarSurfacicRep> outerSurface = scene::Surface(
        {scene::Face(patch).get(), ZarRef<Zar3DPolylineGP>(new Zar3DPolylineGP(polyline, Zar3DLineGP::ClosedPolyline)).get(),
         ZarRef<Zar3DLineGP>(new Zar3DLineGP(segments, Zar3DLineGP::IndependentSegments)).get()});
    ZarRef<ZarSurfacicRep> innerSurface =
        scene::Surface({ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP(ZarTessellation(), loose)).get(),
                        ZarRef<Zar3DCylinderGP>(new Zar3DCylinderGP(cylinderPatch, loose)).get()});
    ZarRef<VisPrimitive> primitive(new VisPrimitive());
    primitive->AddItem(VisSGPrimitiveItem::TriangleStrip, strip);
    primitive->AddItem(VisSGPrimitiveItem::LineLoop, polyline);
    ZarRef<ZarSurfacicRep> vizSurface =
        scene::Surface({ZarRef<ZarViz3DLine>(new ZarViz3DLine(vizLine, ZarViz3DLine::KindOpen)).get()});

    ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {innerSurface.get()});
    ZarRef<Zar3DBagRep> outerBag = scene::Bag(outer, {outerSurface.get(), innerBag.get()});
    ZarRef<Zar3DBagRep> sideBag = scene::Bag(side, {scene::VisGroup({primitive.get()}).get(), vizSurface.get()});
    root = scene::Bag({outerBag.get(), sideBag.get()});

    AddUsedVertices(outer, patch);
    AddAll(outer, polyline);
    AddAll(outer, segments);
    AddAll(innerWorld, loose);
    AddAll(innerWorld, loose);
    AddUsedVertices(innerWorld, cylinderPatch);
    AddAll(side, strip);
    AddAll(side, polyline);
    AddAll(side, vizLine);
  }

  void AddAll(const Zar4x4Matrix& iWorld, const std::vector<float>& iCoordinates) {
    for (std::size_t k = 0; k + 2 < iCoordinates.size(); k += 3) world.push_back(iWorld * ZarMathPointf(&iCoordinates[k]));
  }
  void AddUsedVertices(const Zar4x4Matrix& iWorld, const ZarTessellation& iTessellation) {
    for (const std::vector<unsigned int>* indices : {&iTessellation.triangles, &iTessellation.fans, &iTessellation.strips})
      for (unsigned int index : *indices) world.push_back(iWorld * ZarMathPointf(&iTessellation.vertices[3 * index]));
  }

  ZarRef<Zar3DBagRep> root;
  std::vector<ZarMathPointf> world;
};

TEST_F(MixedScene, NearestVertexIsTheOneABruteForceSearchFinds) {
  std::mt19937 generator(5);
  std::uniform_real_distribution<double> value(-3.0, 3.0);
  ZarMathLine first(ZarMathPoint(0, 0, 0), ZarMathVector(1, 1, 1));
  GeosigRepIntersectRender render(first);
  for (int trial = 0; trial < 25; ++trial) {
    ZarMathLine line(ZarMathPoint(value(generator), value(generator), value(generator)),
                     ZarMathVector(value(generator), value(generator), value(generator)));
    render.Reset(&line);
    render.Traverse(*root);

    double best = -1.0;
    ZarMathPointf bestVertex;
    for (const ZarMathPointf& vertex : world) {
      const double d = line.DistanceTo(ZarMathPoint(vertex));
      if (best < 0.0 || d < best) {
        best = d;
        bestVertex = vertex;
      }
    }
    const Result r = ResultOf(render);
    ASSERT_EQ(r.status, S_OK);
    EXPECT_EQ(r.distance, best) << trial;
    EXPECT_EQ(r.nearest, ZarMathPoint(bestVertex)) << trial;
    ZarMathPoint foot;
    line.Project(ZarMathPoint(bestVertex), foot);
    EXPECT_EQ(r.onLine, ZarMathPoint(ZarMathPointf(static_cast<float>(foot.x), static_cast<float>(foot.y),
                                                   static_cast<float>(foot.z))))
        << trial;
  }
}

}  // namespace
