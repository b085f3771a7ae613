// Decoding of visualization primitives by the render base: surface items into triangles,
// line items into segments, every item handed out disposed of.
#include <gtest/gtest.h>

#include <string>

#include "SceneBuilder.h"
#include "VisPrimitive.h"
#include "VisSGPrimitiveItem.h"

namespace {

using Item = VisSGPrimitiveItem;

const ZarMathPointf A(0, 0, 0), B(1, 0, 0), C(1, 1, 0), D(0, 1, 0), E(0, 0, 1), F(1, 0, 1);

void ExpectTriangle(const RecordedTriangle& iGot, const ZarMathPointf& iA, const ZarMathPointf& iB,
                    const ZarMathPointf& iC) {
  EXPECT_EQ(iGot.a, iA);
  EXPECT_EQ(iGot.b, iB);
  EXPECT_EQ(iGot.c, iC);
}

void ExpectLine(const RecordedLine& iGot, const ZarMathPointf& iA, const ZarMathPointf& iB) {
  EXPECT_EQ(iGot.a, iA);
  EXPECT_EQ(iGot.b, iB);
}

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

TEST_F(VisPrimitiveDecoding, StripsKeepTheWindingOfEveryTriangleAndFansTurnAroundTheFirstVertex) {
  Add(Item::TriangleStrip, {A, B, C, D});
  Add(Item::TriangleFan, {A, B, C, D, E});
  Draw();
  ASSERT_EQ(render.triangles.size(), 5u);
  ExpectTriangle(render.triangles[0], A, B, C);
  ExpectTriangle(render.triangles[1], B, C, D);
  ExpectTriangle(render.triangles[2], A, B, C);
  ExpectTriangle(render.triangles[3], A, C, D);
  ExpectTriangle(render.triangles[4], A, D, E);
  EXPECT_EQ(render.Triangles(), 5u);
  EXPECT_EQ(render.Points(), 9u);
}

TEST_F(VisPrimitiveDecoding, TriangleListNeedsAMultipleOfThreeVertices) {
  Add(Item::TriangleList, {A, B, C, D, E, F, A});
  Draw();
  EXPECT_TRUE(render.triangles.empty());
  EXPECT_EQ(render.Points(), 0u);

  Add(Item::TriangleList, {A, B, C, D, E, F});
  Draw();
  ASSERT_EQ(render.triangles.size(), 2u);
  ExpectTriangle(render.triangles[0], A, B, C);
  ExpectTriangle(render.triangles[1], D, E, F);
  EXPECT_EQ(render.Points(), 6u);
}

TEST_F(VisPrimitiveDecoding, OtherSurfaceKindsOnlyCountTheirVertices) {
  Add(Item::Quads, {A, B, C, D});
  Add(Item::Polygon, {A, B, C});
  Add(Item::TriangleStrip, {A, B});  // too short: skipped, not counted
  Draw();
  EXPECT_TRUE(render.triangles.empty());
  EXPECT_EQ(render.Points(), 7u);
}

TEST_F(VisPrimitiveDecoding, SegmentListsDropAnUnpairedVertexAndLoopsCloseOnTheFirst) {
  Add(Item::SegmentList, {A, B, C, D, E});
  Add(Item::LineLoop, {A, B, C});
  Draw();
  ASSERT_EQ(render.lines.size(), 5u);
  ExpectLine(render.lines[0], A, B);
  ExpectLine(render.lines[1], C, D);
  ExpectLine(render.lines[2], A, B);
  ExpectLine(render.lines[3], B, C);
  ExpectLine(render.lines[4], C, A);
  EXPECT_EQ(render.Lines(), 5u);
  EXPECT_EQ(render.Points(), 0u);  // only surface items count their vertices
}

TEST_F(VisPrimitiveDecoding, ShortAndUnknownLineItemsGiveNothingButAreDisposedOf) {
  Add(Item::LineStrip, {A});
  Add(Item::LineLoop, {A});
  Add(Item::LinesAdjacency, {A, B, C, D});
  Add(Item::LineStripAdjacency, {A, B, C, D});
  Add(Item::Points, {A, B, C});  // in neither iteration
  Add(Item::LineStrip, {A, B});
  Draw();
  ASSERT_EQ(render.lines.size(), 1u);
  ExpectLine(render.lines[0], A, B);
  EXPECT_TRUE(render.points.empty());
  EXPECT_EQ(render.Points(), 0u);
}

// Records the order in which triangles and segments arrive.
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

TEST_F(VisPrimitiveDecoding, AllSurfaceItemsComeBeforeAnyLineItem) {
  Add(Item::SegmentList, {A, B});
  Add(Item::TriangleList, {A, B, C});
  Add(Item::LineStrip, {A, B, C});
  Add(Item::TriangleFan, {A, B, C, D});
  OrderRecordingRender ordered;
  ordered.DrawVisPrimitive(*primitive);
  EXPECT_EQ(ordered.order, "TTTLLL");
}

TEST_F(VisPrimitiveDecoding, FailingHooksDoNotShortenDecoding) {
  Add(Item::TriangleStrip, {A, B, C, D, E});
  Add(Item::LineLoop, {A, B, C, D});
  render.failAll = true;
  Draw();
  EXPECT_EQ(render.triangles.size(), 3u);
  EXPECT_EQ(render.lines.size(), 4u);
  EXPECT_EQ(render.Triangles(), 3u);
  EXPECT_EQ(render.Lines(), 4u);
}

TEST_F(VisPrimitiveDecoding, AnIterationThatCannotOpenEndsTheDecoding) {
  Add(Item::TriangleList, {A, B, C});
  Add(Item::LineStrip, {A, B});
  {
    ScopedAllocationFailure none(0);  // the surface iteration cannot open: no line item either
    Draw();
  }
  EXPECT_TRUE(render.triangles.empty());
  EXPECT_TRUE(render.lines.empty());
  {
    ScopedAllocationFailure one(1);  // surfaces decoded, the line iteration cannot open
    Draw();
  }
  EXPECT_EQ(render.triangles.size(), 1u);
  EXPECT_TRUE(render.lines.empty());
}

TEST_F(VisPrimitiveDecoding, EveryVertexIsTransformedIntoTheWorldFrame) {
  Add(Item::TriangleStrip, {A, B, C, D});
  Add(Item::LineLoop, {A, B, E});
  const Zar4x4Matrix outer = scene::Translation(10, 0, 0);
  const Zar4x4Matrix inner = scene::Rotation(0, 0, 1, 0.5);
  ZarRef<VisPrimitiveGroupRep> group = scene::VisGroup({primitive.get()});
  ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {group.get()});
  ZarRef<Zar3DBagRep> outerBag = scene::Bag(outer, {innerBag.get()});
  render.Traverse(*outerBag);

  const Zar4x4Matrix world = inner * outer;
  auto image = [&](const ZarMathPointf& p) { return world * p; };
  ASSERT_EQ(render.triangles.size(), 2u);
  ExpectTriangle(render.triangles[0], image(A), image(B), image(C));
  ExpectTriangle(render.triangles[1], image(B), image(C), image(D));
  ASSERT_EQ(render.lines.size(), 3u);
  ExpectLine(render.lines[2], image(E), image(A));
  EXPECT_EQ(render.Stack(), nullptr);
}

}  // namespace
