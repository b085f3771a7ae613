#include "GeosigRender.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>

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
  EXPECT_EXIT(
      {
        { RecordingRender render; }
        ZarSupport::SetDestructionObserver([] { _exit(ZarSupport::LiveCount() == 0 ? 42 : 43); });
        std::exit(0);
      },
      ::testing::ExitedWithCode(42), "");
}

}  // namespace
