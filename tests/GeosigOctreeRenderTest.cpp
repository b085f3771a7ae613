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
  using GeosigOctreeRender::AnalyzeLine;
  using GeosigOctreeRender::AnalyzePoint;
  using GeosigOctreeRender::AnalyzeTriangle;
  using GeosigOctreeRender::GeosigOctreeRender;

  HRESULT Triangle(ZarMathPointf iA, ZarMathPointf iB, ZarMathPointf iC) { return AnalyzeTriangle(iA, iB, iC); }
};

std::unique_ptr<GeosigOctree> TakeOctree(GeosigOctreeRender& ioRender) {
  GeosigOctree* octree = nullptr;
  EXPECT_EQ(ioRender.GetOctree(&octree), S_OK);
  return std::unique_ptr<GeosigOctree>(octree);
}

void ExpectBox(const GeosigOctree& iOctree, const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  ZarMathPointf low, high;
  iOctree.GetBoundingBox(low, high);
  EXPECT_EQ(low, iMin);
  EXPECT_EQ(high, iMax);
}

TEST(GeosigOctreeRender, WithoutTrianglesThereIsNoOctree) {
  ZarRef<Zar3DLineGP> line(new Zar3DLineGP({0, 0, 0, 1, 1, 1}, Zar3DLineGP::IndependentSegments));
  ZarRef<ZarSurfacicRep> lines = scene::Surface({line.get()});
  OctreeRenderProbe render(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1), 3);
  render.Traverse(*lines);
  ZarMathPointf a(0.5f, 0.5f, 0.5f), b(0.6f, 0.5f, 0.5f);
  EXPECT_EQ(render.AnalyzeLine(a, b), S_OK);
  EXPECT_EQ(render.AnalyzePoint(a), S_OK);

  GeosigOctree dummy;
  GeosigOctree* octree = &dummy;
  EXPECT_EQ(render.GetOctree(&octree), E_FAIL);
  EXPECT_EQ(octree, nullptr);
  EXPECT_EQ(render.GetOctree(nullptr), E_INVALIDARG);
}

TEST(GeosigOctreeRender, OctreeBoxIsTheRequestedBoxWidenedByAMarginOfTheDiagonal) {
  OctreeRenderProbe render(ZarMathPointf(0, 0, 0), ZarMathPointf(3, 4, 0), 5);
  ASSERT_EQ(render.Triangle(ZarMathPointf(1, 1, 0), ZarMathPointf(2, 1, 0), ZarMathPointf(1, 2, 0)), S_OK);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);
  const float m = static_cast<float>(ZarGetDefaultTolerance().EpsSmall()) * 5.0f;
  // The maximum side gets 0.9 of the margin, summed in double.
  const auto raised = [m](float iCoordinate) { return static_cast<float>(iCoordinate + 0.9 * m); };
  ExpectBox(*octree, ZarMathPointf(-m, -m, -m), ZarMathPointf(raised(3), raised(4), raised(0)));
  EXPECT_EQ(octree->GetDepth(), 5u);
  GeosigOctree* none = nullptr;
  EXPECT_EQ(render.GetOctree(&none), E_FAIL);

  // A triangle after the hand-over starts a new octree, on the box widened once more.
  ASSERT_EQ(render.Triangle(ZarMathPointf(1, 1, 0), ZarMathPointf(2, 1, 0), ZarMathPointf(1, 2, 0)), S_OK);
  std::unique_ptr<GeosigOctree> second = TakeOctree(render);
  ZarMathPointf low, high;
  second->GetBoundingBox(low, high);
  EXPECT_LT(low.x, -m);
  EXPECT_GT(high.y, raised(4));
  ASSERT_EQ(render.Triangle(ZarMathPointf(1, 1, 0), ZarMathPointf(2, 1, 0), ZarMathPointf(1, 2, 0)), S_OK);
}

TEST(GeosigOctreeRender, ADegenerateRequestedBoxTakesTheSizeOfTheTriangles) {
  OctreeRenderProbe render(ZarMathPointf(1, 1, 1), ZarMathPointf(1, 1, 1), 2);
  ASSERT_EQ(render.Triangle(ZarMathPointf(1, 1, 1), ZarMathPointf(3, 1, 1), ZarMathPointf(1, 2, 1)), S_OK);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);
  ExpectBox(*octree, ZarMathPointf(1, 1, 1), ZarMathPointf(3, 2, 1));
}

TEST(GeosigOctreeRender, TraversalVoxelisesTheWorldTriangles) {
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 2, 3)));
  ZarRef<Zar3DBagRep> placed =
      scene::Bag(scene::Rotation(0.6, 0.8, 0, 0.5) * scene::Translation(1, 1, 1), {box.get()});
  const ZarMathPointf low(-1, -1, -1), high(5, 5, 5);
  GeosigOctreeRender render(low, high, 5);
  render.Traverse(*placed);
  EXPECT_EQ(render.GetTrianglesCount(), 12u);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);

  RecordingRender recorder;
  recorder.Traverse(*placed);
  GeosigOctree reference;
  ZarMathPointf referenceMin, referenceMax;
  octree->GetBoundingBox(referenceMin, referenceMax);
  reference.SetBoundingBox(referenceMin, referenceMax);
  reference.SetDepth(5);
  ASSERT_EQ(reference.Create(), S_OK);
  for (const RecordedTriangle& t : recorder.triangles) ASSERT_EQ(reference.DrawTriangle(t.a, t.b, t.c), S_OK);
  const std::set<OctreeCell> marked = MarkedLeaves(*octree);
  EXPECT_GT(marked.size(), 100u);
  EXPECT_EQ(marked, MarkedLeaves(reference));
}

TEST(GeosigOctreeRender, RunningOutOfStorageFailsEveryLaterTriangle) {
  BufferAllocationsFailAfter failing(1);  // the root only
  OctreeRenderProbe render(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1), 8);
  testing::internal::CaptureStdout();
  EXPECT_EQ(render.Triangle(ZarMathPointf(0.1f, 0.1f, 0.1f), ZarMathPointf(0.9f, 0.2f, 0.3f),
                            ZarMathPointf(0.2f, 0.9f, 0.8f)),
            E_FAIL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), octreeOutOfMemoryMessage);
  EXPECT_EQ(render.Triangle(ZarMathPointf(0.1f, 0.1f, 0.1f), ZarMathPointf(0.11f, 0.1f, 0.1f),
                            ZarMathPointf(0.1f, 0.11f, 0.1f)),
            E_FAIL);
  std::unique_ptr<GeosigOctree> octree = TakeOctree(render);
  EXPECT_TRUE(MarkedLeaves(*octree).empty());
}

TEST(GeosigOctreeRender, ClassIdentityIsItsOwnOnTopOfThePlatformRender) {
  OctreeRenderProbe render(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1), 3);
  EXPECT_STREQ(GeosigOctreeRender::ClassName(), "GeosigOctreeRender");
  EXPECT_STREQ(render.IsA(), "GeosigOctreeRender");
  const ZarMetaClass* meta = GeosigOctreeRender::MetaObject();
  EXPECT_EQ(render.GetMetaObject(), meta);
  EXPECT_EQ(meta->Base(), ZarRender::MetaObject());
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(GeosigOctreeRender::ClassId(), meta->ClassId());
  EXPECT_NE(GeosigOctreeRender::ClassId(), ZarRender::MetaObject()->ClassId());
  EXPECT_TRUE(render.IsAKindOf("ZarRender"));
  EXPECT_TRUE(render.IsAKindOf("GeosigOctreeRender"));
  EXPECT_FALSE(render.IsAKindOf("GeosigRender"));
  EXPECT_EQ(GeosigOctreeRender::CreateItself(), nullptr);
}

}  // namespace
