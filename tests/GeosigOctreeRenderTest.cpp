#include "GeosigOctreeRender.h"

#include <gtest/gtest.h>

#include <memory>

#include "OctreeTestSupport.h"
#include "SceneBuilder.h"
#include "Zar3DLineGP.h"
#include "ZarTolerance.h"

namespace {

class OctreeRenderProbe : public GeosigOctreeRender {
 public:
  using GeosigOctreeRender::GeosigOctreeRender;
  HRESULT Triangle(ZarMathPointf iA, ZarMathPointf iB, ZarMathPointf iC) { return AnalyzeTriangle(iA, iB, iC); }
  HRESULT Small() { return Triangle({0.1f, 0.1f, 0}, {0.11f, 0.1f, 0}, {0.1f, 0.11f, 0}); }
};

std::unique_ptr<GeosigOctree> TakeOctree(GeosigOctreeRender& ioRender) {
  GeosigOctree* octree = nullptr;
  EXPECT_EQ(ioRender.GetOctree(&octree), S_OK);
  return std::unique_ptr<GeosigOctree>(octree);
}

std::pair<ZarMathPointf, ZarMathPointf> BoxOf(const GeosigOctree& iOctree) {
  std::pair<ZarMathPointf, ZarMathPointf> box;
  iOctree.GetBoundingBox(box.first, box.second);
  return box;
}

TEST(GeosigOctreeRender, OctreeBoxIsTheRequestedBoxWidenedByAMarginOfTheDiagonal) {
  OctreeRenderProbe render({0, 0, 0}, {3, 4, 0}, 5);
  GeosigOctree dummy;
  GeosigOctree* none = &dummy;
  EXPECT_EQ(render.GetOctree(&none), E_FAIL);  // no triangle, no octree
  EXPECT_EQ(none, nullptr);

  ASSERT_EQ(render.Small(), S_OK);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);
  const float m = static_cast<float>(ZarGetDefaultTolerance().EpsSmall()) * 5.0f;
  // The maximum side gets 0.9 of the margin, summed in double.
  const auto raised = [m](float iCoordinate) { return static_cast<float>(iCoordinate + 0.9 * m); };
  EXPECT_EQ(BoxOf(*octree), std::make_pair(ZarMathPointf(-m, -m, -m), ZarMathPointf(raised(3), raised(4), raised(0))));
  EXPECT_EQ(octree->GetDepth(), 5u);
  EXPECT_EQ(render.GetOctree(&none), E_FAIL);  // handed over

  OctreeRenderProbe point({1, 1, 1}, {1, 1, 1}, 2);  // a degenerate requested box takes the triangles' size
  ASSERT_EQ(point.Triangle({1, 1, 1}, {3, 1, 1}, {1, 2, 1}), S_OK);
  EXPECT_EQ(BoxOf(*TakeOctree(point)), std::make_pair(ZarMathPointf(1, 1, 1), ZarMathPointf(3, 2, 1)));
}

TEST(GeosigOctreeRender, TraversalVoxelisesTheWorldTrianglesOnly) {
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 2, 3}));
  box->AddPrimitive(*ZarRef<Zar3DLineGP>(new Zar3DLineGP({-1, -1, -1, 5, 5, 5}, Zar3DLineGP::OpenPolyline)));
  ZarRef<Zar3DBagRep> placed = scene::Bag(scene::Rotation(0.6, 0.8, 0, 0.5) * scene::Translation(1, 1, 1), {box.get()});
  GeosigOctreeRender render({-1, -1, -1}, {5, 5, 5}, 5);
  render.Traverse(*placed);
  EXPECT_EQ(render.GetTrianglesCount(), 12u);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);

  RecordingRender recorder;
  recorder.Traverse(*placed);
  GeosigOctree reference;
  reference.SetBoundingBox(BoxOf(*octree).first, BoxOf(*octree).second);
  reference.SetDepth(5);
  ASSERT_EQ(reference.Create(), S_OK);
  for (const RecordedTriangle& t : recorder.triangles) ASSERT_EQ(reference.DrawTriangle(t.a, t.b, t.c), S_OK);
  EXPECT_GT(MarkedLeaves(*octree).size(), 100u);
  EXPECT_EQ(MarkedLeaves(*octree), MarkedLeaves(reference));
}

TEST(GeosigOctreeRender, RunningOutOfStorageFailsEveryLaterTriangle) {
  BufferAllocationsFailAfter failing(1);  // the root only
  OctreeRenderProbe render({0, 0, 0}, {1, 1, 1}, 8);
  testing::internal::CaptureStdout();
  EXPECT_EQ(render.Triangle({0.1f, 0.1f, 0.1f}, {0.9f, 0.2f, 0.3f}, {0.2f, 0.9f, 0.8f}), E_FAIL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), octreeOutOfMemoryMessage);
  EXPECT_EQ(render.Small(), E_FAIL);
  EXPECT_TRUE(MarkedLeaves(*TakeOctree(render)).empty());
}

}  // namespace
