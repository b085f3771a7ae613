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

// The hook receives (M2 × M1) × v after pushing M1 then M2: M1 is the parent's matrix. Bags
// with the same matrices give the same world coordinates.
TEST(GeosigRender, ChildMatrixAppliesFirstWhetherPushedOrReachedThroughBags) {
  Zar4x4Matrix parent = scene::Translation(0, 5, 0) * scene::Scaling(2);
  Zar4x4Matrix child = scene::Rotation(1, 0, 0, 0.3) * scene::Translation(1, 2, 3);
  const ZarTessellation triangle = scene::Triangle({1, 2, 3}, {-4, 5, 6}, {7, 8, -9});
  ZarRef<Zar3DFaceGP> face = scene::Face(triangle);
  RecordingRender pushed;
  EXPECT_EQ(pushed.PushMatrix(parent), &pushed);
  EXPECT_EQ(pushed.PushMatrix(child), &pushed);
  for (int pops = 0; pops < 3; ++pops) {  // the third pop finds the stack empty: nothing happens
    pushed.Draw3DFace(*face);
    pushed.PopMatrix(&pushed);
  }
  EXPECT_EQ(pushed.Stack(), nullptr);
  const ZarMathPointf b(-4, 5, 6);  // the product, applied with one rounding
  ASSERT_EQ(pushed.triangles.size(), 3u);
  EXPECT_EQ((std::vector<ZarMathPointf>{pushed.triangles[0].b, pushed.triangles[1].b, pushed.triangles[2].b}),
            (std::vector<ZarMathPointf>{(child * parent) * b, parent * b, b}));

  ZarRef<Zar3DBagRep> inner = scene::Bag(child, {scene::Surface(triangle).get()});
  RecordingRender traversed;
  traversed.Traverse(*scene::Bag(parent, {inner.get()}));
  ASSERT_EQ(traversed.triangles.size(), 1u);
  EXPECT_EQ(traversed.triangles[0], pushed.triangles[0]);
  EXPECT_EQ(traversed.Stack(), nullptr);
}

TEST(GeosigRender, CullingAnswersVisitEvery3DElementAtFullDetailAndNo2DElement) {
  RecordingRender render;
  ZarGraphicAttributeSet attr;
  attr.layer = 7;
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  sphere.radius = 1e6f;
  const Zar2DBoundingBox box;
  ZarRef<ZarSurfacicRep> rep(ZarSurfacicRep::CreateRep());
  const float center[3] = {0, 0, 0}, sags[3] = {0, 0, 0};  // the platform would take level 2
  EXPECT_EQ((std::vector<int>{render.IsDrawable(std::list<int>{1}), render.IsDrawable(3),
                              render.IsDrawable(attr, center, 1, 0), render.IsSeen(center, center),
                              render.IsDrawable(attr, box, *rep), render.IsDrawable(attr, box, 0), render.IsInside(box),
                              render.IsToSmall(box), render.IsInside(sphere), render.IsToSmall(sphere),
                              render.Get3DLODNumber(sphere, 3, sags)}),
            (std::vector<int>{1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0}));
  attr.layer = 8;
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);
  EXPECT_EQ(render.GetCurrentAttribute(), attr);  // made current before answering
  render.SetModelCulling(0.25f);
  EXPECT_EQ(render.Get3DModelCulling(sphere), 0.25f);
}

TEST(GeosigRender, TraversalSkips2DRepsAndTakesFinestLevelAndIgnoresEdgesAndMarkers) {
  ZarRef<Zar2DRep> overlay(Zar2DRep::CreateRep(Zar2DBoundingBox()));
  ZarRef<ZarSurfacicRep> surface = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  surface->AddPrimitive(*scene::Face(scene::Box({0, 0, 0}, {1, 1, 1})), 1);
  surface->AddPrimitive(*ZarRef<Zar3DEdgeGP>(new Zar3DEdgeGP({0, 0, 0, 5, 5, 5})));
  surface->AddPrimitive(*ZarRef<Zar3DMarkerGP>(new Zar3DMarkerGP({1, 1, 1})));
  ZarRef<Zar3DBagRep> root = scene::Bag({overlay.get(), surface.get()});
  surface->SetLevelSag(1, 0.2f);
  RecordingRender render;
  render.SetModelSag(1.0f);  // the platform would take the coarse level
  render.Traverse(*root);
  EXPECT_EQ(render.triangles.size(), 1u);
  EXPECT_TRUE(render.lines.empty());
  EXPECT_TRUE(render.points.empty());
}

TEST(GeosigRenderDeathTest, RendersShareOneSupportReleasedAtExit) {
  const ZarSupport* first = &RecordingRender().GetSupport();
  EXPECT_EQ(&RecordingRender().GetSupport(), first);
  EXPECT_EQ(first->Width(), 100);
  EXPECT_EXIT(
      {
        { RecordingRender render; }
        ZarSupport::SetDestructionObserver([] { _exit(ZarSupport::LiveCount() == 0 ? 42 : 43); });
        std::exit(0);
      },
      ::testing::ExitedWithCode(42), "");
}

}  // namespace
