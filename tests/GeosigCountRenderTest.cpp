#include "GeosigCountRender.h"

#include <gtest/gtest.h>

#include <vector>

#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DPlanarFaceGP.h"

namespace {

int TriangleNumber(const GeosigCountRender& iRender) {
  int n = -1;
  EXPECT_EQ(iRender.GetTriangleNumber(n), S_OK);
  return n;
}

int SlowRepNumber(const GeosigCountRender& iRender) {
  int n = -1;
  EXPECT_EQ(iRender.GetSlowRepNumber(n), S_OK);
  return n;
}

// The answers of the ten limit-tested questions, asked as the platform asks them.
std::vector<int> LimitAnswers(ZarRender& iRender) {
  const ZarGraphicAttributeSet attr;
  const Zar2DBoundingBox box;
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  ZarRef<ZarSurfacicRep> rep(ZarSurfacicRep::CreateRep());
  const float centre[3] = {0, 0, 0};
  return {iRender.IsDrawable(attr),
          iRender.IsDrawable(attr, box, *rep),
          iRender.IsDrawable(attr, box, 0),
          iRender.IsDrawable(attr, sphere, *rep, nullptr),
          iRender.IsDrawable(attr, *rep, nullptr),
          iRender.IsDrawable(attr, 0),
          iRender.IsDrawable(attr, 0, 0),
          iRender.IsDrawable(attr, static_cast<ZarGraphicMaterial*>(nullptr)),
          iRender.IsDrawable(attr, centre, 1.0f, 0),
          iRender.IsDrawable(0)};
}

const std::vector<int> allDrawn(10, 1), noneDrawn(10, 0);

// A face of exactly iTriangles independent triangles.
ZarRef<Zar3DFaceGP> FaceOf(unsigned int iTriangles) {
  ZarTessellation t = scene::Triangle(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 0, 0), ZarMathPointf(0, 1, 0));
  t.triangles.clear();
  for (unsigned int k = 0; k < iTriangles; ++k) t.triangles.insert(t.triangles.end(), {0, 1, 2});
  return scene::Face(t);
}

TEST(GeosigCountRender, WithoutLimitsEveryQuestionIsAnsweredDraw) {
  GeosigCountRender render;
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.Draw3DFace(*FaceOf(1000));
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  EXPECT_EQ(render.IsToSmall(Zar3DBoundingSphere()), 0);
  EXPECT_EQ(render.IsToSmall(Zar2DBoundingBox()), 0);
  EXPECT_EQ(render.IsInside(Zar3DBoundingSphere()), 0);
  EXPECT_EQ(render.IsInside(Zar2DBoundingBox()), 0);
  EXPECT_EQ(render.IsSeen(nullptr, nullptr), 1);
}

TEST(GeosigCountRender, TriangleLimitStopsDrawingOnceTheCountGoesBeyondIt) {
  GeosigCountRender render(100);
  render.Draw3DFace(*FaceOf(100));
  EXPECT_EQ(TriangleNumber(render), 100);
  EXPECT_EQ(LimitAnswers(render), allDrawn);  // equal to the limit: the next element is still drawn
  render.Draw3DFace(*FaceOf(1));
  EXPECT_EQ(TriangleNumber(render), 101);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);

  // Limit-tested questions leave the current attribute set alone; the layer questions are
  // not limit-tested, and the one with an attribute set still makes it current.
  ZarGraphicAttributeSet marked;
  marked.layer = 7;
  render.IsDrawable(marked, 1);
  EXPECT_NE(render.GetCurrentAttribute(), marked);
  EXPECT_EQ(render.IsDrawable(std::list<int>{}), 1);
  EXPECT_EQ(render.IsDrawable(marked, std::list<int>{}, 0), 1);
  EXPECT_EQ(render.GetCurrentAttribute(), marked);
}

TEST(GeosigCountRender, ZeroOrNegativeLimitsNeverStopAnything) {
  for (int limit : {0, -5}) {
    GeosigCountRender render(limit, limit);
    render.Draw3DFace(*FaceOf(50));
    ZarRef<VisPrimitiveGroupRep> slow(VisPrimitiveGroupRep::CreateRep());
    for (int k = 0; k < 3; ++k) render.DrawRepresentation(*slow);
    EXPECT_EQ(LimitAnswers(render), allDrawn) << limit;
  }
}

TEST(GeosigCountRender, SlowRepresentationLimitStopsAfterTheLimitIsPassed) {
  GeosigCountRender render(0, 2);
  ZarRef<VisPrimitiveGroupRep> slow(VisPrimitiveGroupRep::CreateRep());
  render.DrawRepresentation(*slow);
  render.DrawRepresentation(*slow);
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.DrawRepresentation(*slow);
  EXPECT_EQ(SlowRepNumber(render), 3);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);
}

// A visualization primitive group that claims not to be a 3D representation.
class FlatGroupRep : public VisPrimitiveGroupRep {
 public:
  int IsA3DRep() const override { return 0; }
};

TEST(GeosigCountRender, OnlyShownThreeDimensionalPrimitiveGroupsAreSlow) {
  GeosigCountRender render;
  ZarRef<VisPrimitiveGroupRep> hidden(VisPrimitiveGroupRep::CreateRep());
  hidden->SetViewMode(ZarRep::ViewModeHidden);
  ZarRef<FlatGroupRep> flat(new FlatGroupRep());
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  render.DrawRepresentation(*hidden);
  render.DrawRepresentation(*flat);
  render.DrawRepresentation(*surface);
  EXPECT_EQ(SlowRepNumber(render), 0);

  ZarRef<VisPrimitiveGroupRep> shown(VisPrimitiveGroupRep::CreateRep());
  render.DrawRepresentation(*shown);
  EXPECT_EQ(SlowRepNumber(render), 1);
}

TEST(GeosigCountRender, FaceTopologyIsCountedWithoutDecoding) {
  ZarTessellation t;
  t.vertices.assign(3 * 9, 0.0f);
  t.triangles = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  t.stripCounts = {5, 0, 2};  // runs of two or fewer vertices give no triangle
  t.strips = {0, 1, 2, 3, 4, 5, 6};
  t.fanCounts = {4, 2};
  t.fans = {0, 1, 2, 3, 4, 5};
  ZarRef<Zar3DFaceGP> face = scene::Face(t);
  GeosigCountRender render;
  render.Draw3DFace(*face);
  EXPECT_EQ(TriangleNumber(render), 3 + 3 + 2);
  EXPECT_EQ(render.GetTrianglesCount(), 0u);  // no triangle went through the decoder
  EXPECT_EQ(face->OpenArrayReads(), 0);
}

TEST(GeosigCountRender, ResetClearsTheCountsAndSetsBothLimits) {
  GeosigCountRender render(10, 1);
  ZarRef<VisPrimitive> primitive(new VisPrimitive());
  primitive->AddItem(VisSGPrimitiveItem::TriangleFan, std::vector<float>(36, 0.0f));
  ZarRef<VisPrimitiveGroupRep> slow = scene::VisGroup({primitive.get()});
  render.Traverse(*slow);
  render.Traverse(*slow);
  EXPECT_EQ(TriangleNumber(render), 20);
  EXPECT_EQ(SlowRepNumber(render), 2);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);

  render.Reset(50, 0);
  EXPECT_EQ(TriangleNumber(render), 0);
  EXPECT_EQ(SlowRepNumber(render), 0);
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  render.Traverse(*slow);
  render.Traverse(*slow);
  render.Traverse(*slow);  // slow reps are no longer limited
  EXPECT_EQ(TriangleNumber(render), 30);
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.SetMaxNumberOfTrianglesToCount(29);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);
  render.SetMaxNumberOfTrianglesToCount(0);
  render.SetMaxNumberOfSlowRepToCount(2);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);
}

// A model of many representations under transformations: bags of surfaces of faces of
// kTrianglesPerFace triangles each, every face counted in the order of the traversal.
class BudgetModel : public ::testing::Test {
 protected:
  static constexpr int kSurfaces = 40, kFacesPerSurface = 25, kTrianglesPerFace = 12;

  void SetUp() override {
    root = scene::Bag({});
    for (int s = 0; s < kSurfaces; ++s) {
      ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
      for (int f = 0; f < kFacesPerSurface; ++f) {
        const float x = static_cast<float>(f);
        surface->AddPrimitive(*scene::Face(scene::Box(ZarMathPointf(x, 0, 0), ZarMathPointf(x + 1, 1, 1))));
      }
      ZarRef<Zar3DBagRep> placed = scene::Bag(scene::Translation(0, 2.0 * s, 0), {surface.get()});
      root->AddChild(*placed);
    }
  }

  ZarRef<Zar3DBagRep> root;
};

// Counts the primitives the traversal reaches.
class ReachCountingRender : public GeosigCountRender {
 public:
  using GeosigCountRender::GeosigCountRender;
  int reached = 0;
  void Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) override {
    ++reached;
    GeosigCountRender::Draw3DBoundinGP(iPrimitive);
  }
};

TEST_F(BudgetModel, ATriangleBudgetStopsTheTraversalRightAfterItIsExceeded) {
  const int limit = 1000;
  ReachCountingRender render(limit);
  render.Traverse(*root);
  // Every primitive is asked about first: the one that goes beyond the limit is the last drawn.
  EXPECT_EQ(render.reached, limit / kTrianglesPerFace + 1);
  const int counted = TriangleNumber(render);
  EXPECT_GT(counted, limit) << "the result must say that the model exceeds the budget";
  EXPECT_EQ(counted, render.reached * kTrianglesPerFace);

  ReachCountingRender unlimited;
  unlimited.Traverse(*root);
  EXPECT_EQ(unlimited.reached, kSurfaces * kFacesPerSurface);
  EXPECT_EQ(TriangleNumber(unlimited), kSurfaces * kFacesPerSurface * kTrianglesPerFace);
}

TEST_F(BudgetModel, ASlowRepresentationBudgetStopsAtTheNextQuestion) {
  ZarRef<VisPrimitive> primitive(new VisPrimitive());
  primitive->AddItem(VisSGPrimitiveItem::TriangleList, std::vector<float>(9, 0.0f));
  for (int k = 0; k < 5; ++k) root->AddChild(*scene::VisGroup({primitive.get()}));
  ZarRef<Zar3DBagRep> slowFirst = scene::Bag({});
  for (ZarRep* child : *root->GetChildren())
    if (child->IsAKindOf(VisPrimitiveGroupRep::ClassName())) slowFirst->AddChild(*child);
  slowFirst->AddChild(*root);

  ReachCountingRender render(0, 2);
  render.Traverse(*slowFirst);
  EXPECT_EQ(SlowRepNumber(render), 3);
  EXPECT_EQ(TriangleNumber(render), 3);  // the three slow reps drawn, one triangle each
  EXPECT_EQ(render.reached, 0);
}

TEST(GeosigCountRender, CountsWhatTheFaceDecoderWouldDecode) {
  ZarRef<Zar3DBagRep> model = scene::Bag({});
  for (unsigned int seed = 1; seed <= 20; ++seed) {
    const ZarTessellation patch = scene::RandomPatch(seed, 30 + 7 * seed, 5.0f);
    ZarRef<Zar3DPlanarFaceGP> planar(new Zar3DPlanarFaceGP(scene::Triangle(ZarMathPointf(0, 0, 0),
                                                                           ZarMathPointf(1, 0, 0), ZarMathPointf(0, 1, 0))));
    ZarRef<Zar3DCylinderGP> cylinder(new Zar3DCylinderGP(patch, {1, 2, 3}));
    ZarRef<ZarSurfacicRep> surface = scene::Surface({scene::Face(patch).get(), planar.get(), cylinder.get()});
    ZarRef<VisPrimitive> primitive(new VisPrimitive());
    primitive->AddItem(VisSGPrimitiveItem::TriangleStrip, std::vector<float>(3 * (3 + seed), 1.0f));
    primitive->AddItem(VisSGPrimitiveItem::TriangleFan, std::vector<float>(3 * (4 + seed), 1.0f));
    ZarRef<VisPrimitiveGroupRep> slow = scene::VisGroup({primitive.get()});
    model->AddChild(*scene::Bag(scene::Rotation(0, 0, 1, 0.1 * seed), {surface.get(), slow.get()}));
  }
  GeosigCountRender counter;
  counter.Traverse(*model);
  RecordingRender decoder;
  decoder.Traverse(*model);
  EXPECT_EQ(TriangleNumber(counter), static_cast<int>(decoder.triangles.size()));
  EXPECT_EQ(SlowRepNumber(counter), 20);
}

}  // namespace
