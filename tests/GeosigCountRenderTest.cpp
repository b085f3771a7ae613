#include "GeosigCountRender.h"

#include <gtest/gtest.h>

#include <vector>

#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DPlanarFaceGP.h"

namespace {

// The triangle and slow representation counts.
std::pair<int, int> Counts(const GeosigCountRender& iRender) {
  std::pair<int, int> counts(-1, -1);
  EXPECT_EQ(iRender.GetTriangleNumber(counts.first), S_OK);
  EXPECT_EQ(iRender.GetSlowRepNumber(counts.second), S_OK);
  return counts;
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
          iRender.IsDrawable(attr, centre, 1.0f, 0),
          iRender.IsDrawable(attr, static_cast<ZarGraphicMaterial*>(nullptr)),
          iRender.IsDrawable(0)};
}

const std::vector<int> allDrawn(10, 1), noneDrawn(10, 0);

// A face of exactly iTriangles independent triangles.
ZarRef<Zar3DFaceGP> FaceOf(unsigned int iTriangles) {
  ZarTessellation t = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  for (unsigned int k = 1; k < iTriangles; ++k) t.triangles.insert(t.triangles.end(), {0, 1, 2});
  return scene::Face(t);
}

// A slow representation of one fan of 10 triangles.
ZarRef<VisPrimitiveGroupRep> SlowRep() {
  ZarRef<VisPrimitive> primitive(new VisPrimitive());
  primitive->AddItem(VisSGPrimitiveItem::TriangleFan, std::vector<float>(36, 0.0f));
  return scene::VisGroup({primitive.get()});
}

TEST(GeosigCountRender, TriangleLimitStopsEveryQuestionOnceTheCountGoesBeyondIt) {
  GeosigCountRender render(100);
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.Draw3DFace(*FaceOf(100));
  EXPECT_EQ(Counts(render).first, 100);
  EXPECT_EQ(LimitAnswers(render), allDrawn);  // equal to the limit: the next element is still drawn
  render.Draw3DFace(*FaceOf(1));
  EXPECT_EQ(Counts(render).first, 101);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);
  // Nothing is ever too small, inside or unseen.
  EXPECT_EQ((std::vector<int>{render.IsToSmall(Zar3DBoundingSphere()), render.IsToSmall(Zar2DBoundingBox()),
                              render.IsInside(Zar3DBoundingSphere()), render.IsInside(Zar2DBoundingBox()),
                              render.IsSeen(nullptr, nullptr)}),
            (std::vector<int>{0, 0, 0, 0, 1}));
}

// A visualization primitive group that claims not to be a 3D representation.
class FlatGroupRep : public VisPrimitiveGroupRep {
 public:
  int IsA3DRep() const override { return 0; }
};

TEST(GeosigCountRender, OnlyShown3DPrimitiveGroupsAreSlowAndTheirLimitNeverStopsAtZero) {
  GeosigCountRender render(0, 2);
  ZarRef<VisPrimitiveGroupRep> slow = SlowRep(), hidden(VisPrimitiveGroupRep::CreateRep());
  hidden->SetViewMode(ZarRep::ViewModeHidden);
  render.DrawRepresentation(*hidden);
  render.DrawRepresentation(*ZarRef<FlatGroupRep>(new FlatGroupRep()));
  render.DrawRepresentation(*ZarRef<ZarSurfacicRep>(ZarSurfacicRep::CreateRep()));
  render.Traverse(*slow);
  render.Traverse(*slow);
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.Traverse(*slow);
  EXPECT_EQ(Counts(render), std::make_pair(30, 3));
  EXPECT_EQ(LimitAnswers(render), noneDrawn);

  render.Reset(50, 0);  // clears the counts and sets both limits
  EXPECT_EQ(Counts(render), std::make_pair(0, 0));
  for (int k = 0; k < 5; ++k) render.DrawRepresentation(*slow);  // no longer limited
  EXPECT_EQ(LimitAnswers(render), allDrawn);
  render.SetMaxNumberOfSlowRepToCount(4);
  EXPECT_EQ(LimitAnswers(render), noneDrawn);
  for (int limit : {0, -5}) {  // zero or negative limits never stop anything
    GeosigCountRender unlimited(limit, limit);
    unlimited.Draw3DFace(*FaceOf(50));
    for (int k = 0; k < 3; ++k) unlimited.DrawRepresentation(*slow);
    EXPECT_EQ(LimitAnswers(unlimited), allDrawn) << limit;
  }
}

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

// A model of many representations under transformations: 40 bags of surfaces of 25 faces of
// 12 triangles each.
TEST(GeosigCountRender, ATriangleBudgetStopsTheTraversalRightAfterItIsExceeded) {
  ZarRef<Zar3DBagRep> root = scene::Bag({});
  for (int s = 0; s < 40; ++s) {
    ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
    for (float x = 0; x < 25; ++x) surface->AddPrimitive(*scene::Face(scene::Box({x, 0, 0}, {x + 1, 1, 1})));
    root->AddChild(*scene::Bag(scene::Translation(0, 2.0 * s, 0), {surface.get()}));
  }
  ReachCountingRender budget(1000);
  budget.Traverse(*root);
  // Every primitive is asked about first: the one that goes beyond the limit is the last drawn.
  EXPECT_EQ(budget.reached, 1000 / 12 + 1);
  EXPECT_EQ(Counts(budget).first, budget.reached * 12);  // beyond the limit: the model exceeds it

  ReachCountingRender unlimited;
  unlimited.Traverse(*root);
  EXPECT_EQ(unlimited.reached, 40 * 25);
  EXPECT_EQ(Counts(unlimited).first, 40 * 25 * 12);
}

// Faces, planar faces and cylinders are counted from their topology, without decoding;
// runs of two or fewer vertices give no triangle.
TEST(GeosigCountRender, CountsWhatTheFaceDecoderWouldDecode) {
  ZarTessellation shortRuns = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  shortRuns.stripCounts = {5, 0, 2};
  shortRuns.strips = {0, 1, 2, 0, 1, 2, 0};
  shortRuns.fanCounts = {4, 2};
  shortRuns.fans = {0, 1, 2, 0, 1, 2};
  ZarRef<Zar3DFaceGP> face = scene::Face(shortRuns);
  ZarRef<Zar3DBagRep> model = scene::Bag({scene::Surface({face.get()}).get()});
  for (unsigned int seed = 1; seed <= 20; ++seed) {
    const ZarTessellation patch = scene::RandomPatch(seed, 30 + 7 * seed, 5.0f);
    ZarRef<Zar3DPlanarFaceGP> planar(new Zar3DPlanarFaceGP(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0})));
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
  EXPECT_EQ(face->OpenArrayReads(), 0);
  RecordingRender decoder;
  decoder.Traverse(*model);
  EXPECT_EQ(Counts(counter).first, static_cast<int>(decoder.triangles.size()));
  EXPECT_EQ(counter.GetTrianglesCount(), 20 * 3 + 2 * 210u);  // only the slow representations are decoded
  EXPECT_EQ(Counts(counter).second, 20);
}

}  // namespace
