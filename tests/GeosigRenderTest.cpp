#include "GeosigRender.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "SceneBuilder.h"
#include "Zar2DRep.h"
#include "Zar3DEdgeGP.h"
#include "Zar3DMarkerGP.h"
#include "ZarSupport.h"

namespace {

const double halfPi = 1.5707963267948966;

// The hook receives (M2 × M1) × v after pushing M1 then M2: M1 is the parent's matrix.
TEST(GeosigRender, StackAccumulatesChildMatrixFirstAndPopsBack) {
  RecordingRender render;
  Zar4x4Matrix parent = scene::Translation(10, 0, 0);
  Zar4x4Matrix child = scene::Rotation(0, 0, 1, halfPi);
  ZarRef<Zar3DFaceGP> face = scene::Face(scene::Triangle({1, 0, 0}, {0, 0, 0}, {0, 0, 1}));

  EXPECT_EQ(render.PushMatrix(parent), &render);
  EXPECT_EQ(render.PushMatrix(child), &render);
  render.Draw3DFace(*face);
  render.PopMatrix(&render);
  render.Draw3DFace(*face);
  render.PopMatrix(&render);
  render.Draw3DFace(*face);
  render.PopMatrix(&render);  // empty: nothing happens
  EXPECT_EQ(render.Stack(), nullptr);

  ASSERT_EQ(render.triangles.size(), 3u);
  EXPECT_NEAR(render.triangles[0].a.x, 10.0f, 1e-6f);  // rotated to (0, 1, 0), then moved
  EXPECT_NEAR(render.triangles[0].a.y, 1.0f, 1e-6f);
  EXPECT_EQ(render.triangles[1].a, ZarMathPointf(11, 0, 0));
  EXPECT_EQ(render.triangles[2].a, ZarMathPointf(1, 0, 0));
}

TEST(GeosigRender, TraversalOfTransformedBagsMatchesPushedMatrices) {
  const Zar4x4Matrix outer = scene::Translation(0, 5, 0) * scene::Scaling(2);
  const Zar4x4Matrix inner = scene::Rotation(1, 0, 0, 0.3) * scene::Translation(1, 2, 3);
  ZarRef<ZarSurfacicRep> surface = scene::Surface(scene::Triangle({1, 2, 3}, {-4, 5, 6}, {7, 8, -9}));
  ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {surface.get()});
  ZarRef<Zar3DBagRep> root = scene::Bag(outer, {innerBag.get()});

  RecordingRender traversed;
  traversed.Traverse(*root);

  RecordingRender pushed;
  Zar4x4Matrix m1 = outer, m2 = inner;
  pushed.PushMatrix(m1);
  pushed.PushMatrix(m2);
  ZarRef<Zar3DFaceGP> face = scene::Face(scene::Triangle({1, 2, 3}, {-4, 5, 6}, {7, 8, -9}));
  pushed.Draw3DFace(*face);

  ASSERT_EQ(traversed.triangles.size(), 1u);
  EXPECT_EQ(traversed.triangles[0].b, pushed.triangles[0].b);
  const ZarMathPointf expected = (inner * outer) * ZarMathPointf(-4, 5, 6);
  EXPECT_EQ(traversed.triangles[0].b, expected);
  EXPECT_EQ(traversed.Stack(), nullptr);
}

TEST(GeosigRender, CullingAnswersVisitEvery3DElementAndNo2DElement) {
  RecordingRender render;
  ZarGraphicAttributeSet attr;
  attr.layer = 7;
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  sphere.radius = 1e6f;
  const Zar2DBoundingBox box;
  ZarRef<ZarSurfacicRep> rep = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  const float center[3] = {0, 0, 0};

  EXPECT_EQ(render.IsDrawable(std::list<int>{1}), 1);
  EXPECT_EQ(render.IsDrawable(3), 1);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);
  EXPECT_EQ(render.GetCurrentAttribute(), attr);  // made current before answering
  attr.layer = 8;
  EXPECT_EQ(render.IsDrawable(attr, center, 1.0f, 0), 1);
  EXPECT_EQ(render.GetCurrentAttribute().layer, 8);
  EXPECT_EQ(render.IsDrawable(attr, box, *rep), 0);
  EXPECT_EQ(render.IsDrawable(attr, box, 0), 0);
  EXPECT_EQ(render.IsInside(box), 1);
  EXPECT_EQ(render.IsInside(sphere), 0);
  EXPECT_EQ(render.IsToSmall(box), 1);
  EXPECT_EQ(render.IsToSmall(sphere), 0);
  EXPECT_EQ(render.IsSeen(center, center), 1);
  EXPECT_EQ(render.Get3DLODNumber(sphere, 3, nullptr), 0);
  render.SetModelCulling(0.25f);
  Zar3DBoundingSphere other = sphere;
  other.radius = 2.0f;
  EXPECT_EQ(render.Get3DModelCulling(sphere), 0.25f);
  EXPECT_EQ(render.Get3DModelCulling(other), 0.25f);
  EXPECT_EQ(render.Get3DModelSag(sphere), render.Get3DModelSag(other));
}

TEST(GeosigRender, TraversalSkips2DRepsAndTakesFinestLevelAndIgnoresEdgesAndMarkers) {
  ZarRef<Zar2DRep> overlay(Zar2DRep::CreateRep(Zar2DBoundingBox()));
  ZarRef<ZarSurfacicRep> surface = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  ZarRef<Zar3DFaceGP> coarse = scene::Face(scene::Box({0, 0, 0}, {1, 1, 1}));
  surface->AddPrimitive(*coarse, 1);
  ZarRef<Zar3DEdgeGP> edge(new Zar3DEdgeGP({0, 0, 0, 5, 5, 5}));
  ZarRef<Zar3DMarkerGP> marker(new Zar3DMarkerGP({1, 1, 1}));
  surface->AddPrimitive(*edge);
  surface->AddPrimitive(*marker);
  ZarRef<Zar3DBagRep> root = scene::Bag({overlay.get(), surface.get()});

  RecordingRender render;
  render.Traverse(*root);
  EXPECT_EQ(render.triangles.size(), 1u);
  EXPECT_TRUE(render.lines.empty());
  EXPECT_TRUE(render.points.empty());
}

TEST(GeosigRender, RendersShareOneSupportThatOutlivesThem) {
  ZarSupport* first = nullptr;
  {
    RecordingRender a;
    RecordingRender b;
    first = &a.GetSupport();
    EXPECT_EQ(first, &b.GetSupport());
    EXPECT_EQ(first->Width(), 100);
    EXPECT_EQ(first->Height(), 100);
  }
  RecordingRender c;
  EXPECT_EQ(&c.GetSupport(), first);
  EXPECT_EQ(c.GetTrianglesCount(), 0u);
}

TEST(GeosigRenderDeathTest, SharedSupportIsReleasedAtExit) {
  EXPECT_EXIT(
      {
        { RecordingRender render; }
        ZarSupport::SetDestructionObserver([] { _exit(ZarSupport::LiveCount() == 0 ? 42 : 43); });
        std::exit(0);
      },
      ::testing::ExitedWithCode(42), "");
}

}  // namespace
