// Decoding of lines, polylines, visualization lines and bounding primitives by the render
// base: segments, loose points and the faces of bounding primitives.
#include <gtest/gtest.h>

#include <ostream>

#include "SceneBuilder.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DCurvedPipeGP.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPolylineGP.h"
#include "ZarViz3DLine.h"

namespace {

const ZarMathPointf P0(0, 0, 0), P1(1, 0, 0), P2(1, 1, 0), P3(0, 1, 0), P4(0, 0, 1);

void ExpectLine(const RecordedLine& iGot, const ZarMathPointf& iA, const ZarMathPointf& iB) {
  EXPECT_EQ(iGot.a, iA);
  EXPECT_EQ(iGot.b, iB);
}

ZarRef<Zar3DLineGP> Line(std::initializer_list<ZarMathPointf> iPoints, int iType) {
  return ZarRef<Zar3DLineGP>(new Zar3DLineGP(scene::Coordinates(iPoints), iType));
}

// The bounding primitive must have released every read the render made.
void ExpectReadsReleased(const Zar3DBoundingGP& iPrimitive) {
  EXPECT_EQ(iPrimitive.OpenVertexReads(), 0);
  EXPECT_EQ(iPrimitive.OpenArrayReads(), 0);
}

TEST(LineDecoding, IndependentSegmentsPairThePointsAndDropAnUnpairedOne) {
  RecordingRender render;
  render.Draw3DLine(*Line({P0, P1, P2, P3}, Zar3DLineGP::IndependentSegments));
  ASSERT_EQ(render.lines.size(), 2u);
  ExpectLine(render.lines[0], P0, P1);
  ExpectLine(render.lines[1], P2, P3);

  RecordingRender odd;
  odd.Draw3DLine(*Line({P0, P1, P2, P3, P4}, Zar3DLineGP::IndependentSegments));
  EXPECT_EQ(odd.lines.size(), 2u);
  EXPECT_EQ(odd.Lines(), 2u);
}

TEST(LineDecoding, PolylinesJoinConsecutivePointsAndClosedOnesReturnToTheFirst) {
  RecordingRender open;
  open.Draw3DLine(*Line({P0, P1, P2, P3}, Zar3DLineGP::OpenPolyline));
  ASSERT_EQ(open.lines.size(), 3u);
  ExpectLine(open.lines[2], P2, P3);

  RecordingRender anyOtherType;
  anyOtherType.Draw3DLine(*Line({P0, P1, P2, P3}, 7));
  EXPECT_EQ(anyOtherType.lines.size(), 3u);

  RecordingRender closed;
  closed.Draw3DLine(*Line({P0, P1, P2, P3}, Zar3DLineGP::ClosedPolyline));
  ASSERT_EQ(closed.lines.size(), 4u);
  ExpectLine(closed.lines[3], P3, P0);
  EXPECT_EQ(closed.Lines(), 4u);

  RecordingRender single;
  single.Draw3DLine(*Line({P2}, Zar3DLineGP::ClosedPolyline));
  ASSERT_EQ(single.lines.size(), 1u);
  ExpectLine(single.lines[0], P2, P2);

  RecordingRender empty;
  empty.Draw3DLine(*Line({}, Zar3DLineGP::ClosedPolyline));
  EXPECT_TRUE(empty.lines.empty());
}

TEST(LineDecoding, AFailingSegmentEndsTheLineWithoutClosingIt) {
  RecordingRender closed;
  closed.failLineCall = 2;
  closed.Draw3DLine(*Line({P0, P1, P2, P3}, Zar3DLineGP::ClosedPolyline));
  EXPECT_EQ(closed.lines.size(), 2u);
  EXPECT_EQ(closed.Lines(), 2u);

  RecordingRender independent;
  independent.failLineCall = 1;
  independent.Draw3DLine(*Line({P0, P1, P2, P3}, Zar3DLineGP::IndependentSegments));
  EXPECT_EQ(independent.lines.size(), 1u);

  // The closing segment's own status is not kept: nothing follows it anyway.
  RecordingRender closingFails;
  closingFails.failLineCall = 3;
  closingFails.Draw3DLine(*Line({P0, P1, P2}, Zar3DLineGP::ClosedPolyline));
  EXPECT_EQ(closingFails.lines.size(), 3u);
}

// Counts the line operations reached through the virtual table.
class LineCountingRender : public RecordingRender {
 public:
  int lineCalls = 0;
  void Draw3DLine(Zar3DLineGP& iLine) override {
    ++lineCalls;
    RecordingRender::Draw3DLine(iLine);
  }
};

TEST(LineDecoding, PolylinesAreDrawnAsLinesThroughADerivedOverride) {
  ZarRef<Zar3DPolylineGP> polyline(new Zar3DPolylineGP(scene::Coordinates({P0, P1, P2}), Zar3DLineGP::ClosedPolyline));
  LineCountingRender render;
  ZarRef<ZarSurfacicRep> surface = scene::Surface({polyline.get()});
  render.Traverse(*surface);
  EXPECT_EQ(render.lineCalls, 1);

  RecordingRender asLine;
  asLine.Draw3DLine(*polyline);
  ASSERT_EQ(render.lines.size(), asLine.lines.size());
  for (std::size_t i = 0; i < asLine.lines.size(); ++i) ExpectLine(render.lines[i], asLine.lines[i].a, asLine.lines[i].b);
}

struct DescriptionCase {
  std::uint32_t word;
  std::size_t segments;
  bool closesOnFirst;
};

void PrintTo(const DescriptionCase& iCase, std::ostream* oStream) {
  *oStream << "word 0x" << std::hex << iCase.word;
}

class VisualizationLineWord : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(VisualizationLineWord, GivesTheCountAndTheKind) {
  const DescriptionCase c = GetParam();
  RecordingRender render;
  render.DrawZarViz3DLine(nullptr);
  ZarRef<ZarViz3DLine> line(new ZarViz3DLine(scene::Coordinates({P0, P1, P2, P3}), c.word, true));
  render.DrawZarViz3DLine(line.get());
  ASSERT_EQ(render.lines.size(), c.segments);
  EXPECT_EQ(render.Lines(), c.segments);
  if (c.closesOnFirst) ExpectLine(render.lines.back(), P2, P0);
}

INSTANTIATE_TEST_SUITE_P(
    Words, VisualizationLineWord,
    ::testing::Values(DescriptionCase{0x08000060u, 3, true},    // 3 points, closed
                      DescriptionCase{0x04000060u, 2, false},   // open
                      DescriptionCase{0x0C000060u, 2, false},   // both kind bits: open
                      DescriptionCase{0x00000080u, 2, false},   // 4 points, independent segments
                      DescriptionCase{0x00000060u, 1, false},   // 3 points, the last unpaired
                      DescriptionCase{0xF200007Fu, 1, false},   // bits outside count and kind ignored
                      DescriptionCase{0x0800001Fu, 0, false},   // no point
                      DescriptionCase{0x08000020u, 1, false}));  // closed single point

TEST(LineDecoding, SegmentsAreTransformedByTheAccumulatedMatrix) {
  const Zar4x4Matrix first = scene::Rotation(0, 1, 0, 0.3), second = scene::Translation(0, 5, 0);
  RecordingRender render;
  Zar4x4Matrix pushed1 = first, pushed2 = second;
  render.PushMatrix(pushed1);
  render.PushMatrix(pushed2);
  ZarRef<ZarViz3DLine> line(new ZarViz3DLine(scene::Coordinates({P1, P2}), ZarViz3DLine::KindOpen));
  render.DrawZarViz3DLine(line.get());
  render.PopMatrix(&render);
  render.Draw3DLine(*Line({P1, P2}, Zar3DLineGP::OpenPolyline));
  ASSERT_EQ(render.lines.size(), 2u);
  ExpectLine(render.lines[0], (second * first) * P1, (second * first) * P2);
  ExpectLine(render.lines[1], first * P1, first * P2);
}

ZarRef<Zar3DBoundingGP> Bounding(const ZarTessellation& iTessellation, std::vector<float> iLoose) {
  return ZarRef<Zar3DBoundingGP>(new Zar3DBoundingGP(iTessellation, std::move(iLoose)));
}

TEST(BoundingDecoding, LoosePointsAreWholeTriplesOnly) {
  RecordingRender render;
  ZarRef<Zar3DBoundingGP> primitive = Bounding({}, {1, 2, 3, 4, 5, 6, 7});
  Zar4x4Matrix shift = scene::Translation(1, 1, 1);
  render.PushMatrix(shift);
  render.Draw3DBoundinGP(*primitive);
  ASSERT_EQ(render.points.size(), 2u);
  EXPECT_EQ(render.points[0], ZarMathPointf(2, 3, 4));
  EXPECT_EQ(render.points[1], ZarMathPointf(5, 6, 7));
  EXPECT_EQ(render.Points(), 2u);
  ExpectReadsReleased(*primitive);
}

TEST(BoundingDecoding, FailingLoosePointsStopButTheFaceIsStillDecoded) {
  RecordingRender render;
  render.failPointCall = 1;
  ZarRef<Zar3DBoundingGP> primitive =
      Bounding(scene::Box(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1)), scene::Coordinates({P1, P2, P3}));
  render.Draw3DBoundinGP(*primitive);
  EXPECT_EQ(render.points.size(), 1u);
  EXPECT_EQ(render.Points(), 1u);
  EXPECT_EQ(render.triangles.size(), 12u);
  ExpectReadsReleased(*primitive);
}

TEST(BoundingDecoding, FaceIndicesAreFloatPositionsWithListFansThenStrips) {
  ZarTessellation t;
  t.vertices = scene::Coordinates({P0, P1, P2, P3, P4});
  t.triangles = {4, 3, 2};
  t.stripCounts = {4};
  t.strips = {0, 1, 2, 3};
  t.fanCounts = {4};
  t.fans = {4, 0, 1, 2};
  RecordingRender render;
  ZarRef<Zar3DBoundingGP> primitive = Bounding(t, {});
  render.Draw3DBoundinGP(*primitive);
  ASSERT_EQ(render.triangles.size(), 5u);
  const ZarMathPointf expected[5][3] = {
      {P4, P3, P2}, {P4, P0, P1}, {P4, P1, P2}, {P0, P1, P2}, {P2, P1, P3}};  // strips alternate winding
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(render.triangles[i].a, expected[i][0]) << i;
    EXPECT_EQ(render.triangles[i].b, expected[i][1]) << i;
    EXPECT_EQ(render.triangles[i].c, expected[i][2]) << i;
  }
  ExpectReadsReleased(*primitive);
}

// Counts the bounding primitives reached through the virtual table.
class BoundingCountingRender : public RecordingRender {
 public:
  int boundingCalls = 0;
  void Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) override {
    ++boundingCalls;
    RecordingRender::Draw3DBoundinGP(iPrimitive);
  }
};

TEST(BoundingDecoding, CylindersAndCurvedPipesAreDecodedAsBoundingPrimitives) {
  const ZarTessellation box = scene::Box(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1));
  ZarRef<Zar3DCylinderGP> cylinder(new Zar3DCylinderGP(box, scene::Coordinates({P4})));
  ZarRef<Zar3DCurvedPipeGP> pipe(new Zar3DCurvedPipeGP(box));
  ZarRef<ZarSurfacicRep> surface = scene::Surface({cylinder.get(), pipe.get()});
  BoundingCountingRender render;
  render.Traverse(*surface);
  EXPECT_EQ(render.boundingCalls, 2);
  EXPECT_EQ(render.triangles.size(), 24u);
  EXPECT_EQ(render.points.size(), 1u);
  ExpectReadsReleased(*cylinder);
  ExpectReadsReleased(*pipe);
}

}  // namespace
