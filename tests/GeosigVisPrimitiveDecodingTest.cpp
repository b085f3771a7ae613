// Decoding of visualization primitives by the render base: surface items into triangles,
// line items into segments, every item handed out disposed of.
#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "VisSGPrimitiveItem.h"

namespace {

using Item = VisSGPrimitiveItem;
using Triangles = std::vector<RecordedTriangle>;
using Lines = std::vector<RecordedLine>;

const ZarMathPointf A(0, 0, 0), B(1, 0, 0), C(1, 1, 0), D(0, 1, 0), E(0, 0, 1), F(1, 0, 1);

class VisPrimitiveDecoding : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(Item::LiveCount(), _liveItemsBefore) << "an item was not disposed of"; }
  void Add(unsigned int iType, std::initializer_list<ZarMathPointf> iPoints) {
    primitive->AddItem(iType, scene::Coordinates(iPoints));
  }
  void Draw() { render.DrawVisPrimitive(*primitive); }

  ZarRef<VisPrimitive> primitive{new VisPrimitive()};
  RecordingRender render;

 private:
  long _liveItemsBefore = Item::LiveCount();
};

TEST_F(VisPrimitiveDecoding, SurfaceItemsGiveTrianglesWithTheirWindingAndCountTheirVertices) {
  Add(Item::TriangleStrip, {A, B, C, D});          // every strip triangle keeps the strip's order
  Add(Item::TriangleFan, {A, B, C, D, E});         // fans turn around the first vertex
  Add(Item::TriangleList, {A, B, C, D, E, F, A});  // not a multiple of three: skipped
  Add(Item::TriangleList, {A, B, C, D, E, F});
  Add(Item::Quads, {A, B, C, D});  // other surface kinds only count their vertices
  Add(Item::Polygon, {A, B, C});
  Add(Item::TriangleStrip, {A, B});  // too short: skipped, not counted
  Draw();
  EXPECT_EQ(render.triangles, (Triangles{{A, B, C}, {B, C, D}, {A, B, C}, {A, C, D}, {A, D, E}, {A, B, C}, {D, E, F}}));
  EXPECT_EQ(render.Triangles(), 7u);
  EXPECT_EQ(render.Points(), 4u + 5u + 6u + 4u + 3u);
}

TEST_F(VisPrimitiveDecoding, LineItemsGiveSegmentsAndFailingHooksShortenNothing) {
  Add(Item::SegmentList, {A, B, C, D, E});  // the unpaired vertex is dropped
  Add(Item::TriangleStrip, {A, B, C, D});
  Add(Item::LineLoop, {A, B, C});  // closes on the first vertex
  Add(Item::LineStrip, {A});       // too short
  Add(Item::LineLoop, {A});
  Add(Item::LinesAdjacency, {A, B, C, D});  // kinds with no segments
  Add(Item::LineStripAdjacency, {A, B, C, D});
  Add(Item::Points, {A, B, C});  // in neither iteration
  Add(Item::LineStrip, {A, B});
  render.failAll = true;
  Draw();
  EXPECT_EQ(render.lines, (Lines{{A, B}, {C, D}, {A, B}, {B, C}, {C, A}, {A, B}}));
  EXPECT_EQ(render.triangles.size(), 2u);
  EXPECT_EQ(render.Lines(), 6u);
  EXPECT_EQ(render.Points(), 4u);  // only surface items count their vertices
  EXPECT_TRUE(render.points.empty());
}

TEST_F(VisPrimitiveDecoding, SurfacesComeFirstAndAnIterationThatCannotOpenEndsTheDecoding) {
  Add(Item::LineStrip, {A, B});
  Add(Item::TriangleList, {A, B, C});
  for (long allowed : {0, 1}) {  // no iteration at all, then the surface iteration only
    ScopedAllocationFailure failing(allowed);
    Draw();
    EXPECT_EQ(render.triangles.size(), std::size_t(allowed));
    EXPECT_TRUE(render.lines.empty());
  }
}

}  // namespace
