// Decoding of visualization primitives by the render base: surface items into triangles,
// line items into segments, every item handed out disposed of.
#include <gtest/gtest.h>

#include <string>

#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "VisSGPrimitiveItem.h"

namespace {

using Item = VisSGPrimitiveItem;
using Triangles = std::vector<RecordedTriangle>;
using Lines = std::vector<RecordedLine>;

const ZarMathPointf A(0, 0, 0), B(1, 0, 0), C(1, 1, 0), D(0, 1, 0), E(0, 0, 1), F(1, 0, 1);

// Records the order in which triangles and segments arrive, besides the render's records.
class OrderRecordingRender : public RecordingRender {
 public:
  std::string order;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override {
    order += 'T';
    return RecordingRender::AnalyzeTriangle(ioA, ioB, ioC);
  }
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override {
    order += 'L';
    return RecordingRender::AnalyzeLine(ioA, ioB);
  }
};

class VisPrimitiveDecoding : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(Item::LiveCount(), _liveItemsBefore) << "an item was not disposed of"; }
  void Add(unsigned int iType, std::initializer_list<ZarMathPointf> iPoints) {
    primitive->AddItem(iType, scene::Coordinates(iPoints));
  }
  void Draw() { render.DrawVisPrimitive(*primitive); }

  ZarRef<VisPrimitive> primitive{new VisPrimitive()};
  OrderRecordingRender render;

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

TEST_F(VisPrimitiveDecoding, LineItemsGiveSegmentsAfterEverySurfaceItem) {
  Add(Item::SegmentList, {A, B, C, D, E});  // the unpaired vertex is dropped
  Add(Item::TriangleList, {A, B, C});
  Add(Item::LineLoop, {A, B, C});  // closes on the first vertex
  Add(Item::LineStrip, {A});       // too short
  Add(Item::LineLoop, {A});
  Add(Item::LinesAdjacency, {A, B, C, D});  // kinds with no segments
  Add(Item::LineStripAdjacency, {A, B, C, D});
  Add(Item::Points, {A, B, C});  // in neither iteration
  Add(Item::LineStrip, {A, B});
  Draw();
  EXPECT_EQ(render.lines, (Lines{{A, B}, {C, D}, {A, B}, {B, C}, {C, A}, {A, B}}));
  EXPECT_EQ(render.order, "TLLLLLL");
  EXPECT_EQ(render.Lines(), 6u);
  EXPECT_EQ(render.Points(), 3u);  // only surface items count their vertices
  EXPECT_TRUE(render.points.empty());
}

TEST_F(VisPrimitiveDecoding, FailingHooksDoNotShortenDecoding) {
  Add(Item::TriangleStrip, {A, B, C, D, E});
  Add(Item::LineLoop, {A, B, C, D});
  render.failAll = true;
  Draw();
  EXPECT_EQ(render.triangles.size(), 3u);
  EXPECT_EQ(render.lines.size(), 4u);
}

TEST_F(VisPrimitiveDecoding, AnIterationThatCannotOpenEndsTheDecoding) {
  Add(Item::TriangleList, {A, B, C});
  Add(Item::LineStrip, {A, B});
  {
    ScopedAllocationFailure none(0);  // the surface iteration cannot open: no line item either
    Draw();
  }
  EXPECT_EQ(render.order, "");
  {
    ScopedAllocationFailure one(1);  // surfaces decoded, the line iteration cannot open
    Draw();
  }
  EXPECT_EQ(render.order, "T");
}

TEST_F(VisPrimitiveDecoding, EveryVertexIsTransformedIntoTheWorldFrame) {
  Add(Item::TriangleStrip, {A, B, C, D});
  Add(Item::SegmentList, {E, F});
  Add(Item::LineLoop, {A, B, E});
  const Zar4x4Matrix outer = scene::Translation(10, 0, 0), inner = scene::Rotation(0, 0, 1, 0.5);
  ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {scene::VisGroup({primitive.get()}).get()});
  render.Traverse(*scene::Bag(outer, {innerBag.get()}));
  const Zar4x4Matrix world = inner * outer;
  EXPECT_EQ(render.triangles, (Triangles{{world * A, world * B, world * C}, {world * B, world * C, world * D}}));
  EXPECT_EQ(render.lines,
            (Lines{{world * E, world * F}, {world * A, world * B}, {world * B, world * E}, {world * E, world * A}}));
  EXPECT_EQ(render.Stack(), nullptr);
}

}  // namespace
