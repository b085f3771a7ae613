// Decoding of lines, polylines, visualization lines and bounding primitives by the render
// base: segments, loose points and the faces of bounding primitives.
#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DCurvedPipeGP.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DLineGP.h"
#include "Zar3DPolylineGP.h"
#include "ZarViz3DLine.h"

namespace {

// Point k of every line below is P[k].
const ZarMathPointf P[5] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
std::vector<float> FirstPoints(unsigned int iCount) {
  std::vector<float> coordinates = scene::Coordinates({P[0], P[1], P[2], P[3], P[4]});
  coordinates.resize(3 * iCount);
  return coordinates;
}

std::vector<RecordedLine> Segments(std::initializer_list<std::pair<int, int>> iEnds) {
  std::vector<RecordedLine> lines;
  for (const auto& [a, b] : iEnds) lines.push_back({P[a], P[b]});
  return lines;
}

// Every read of a bounding primitive's vertices or arrays was paired with its release.
void ExpectReadsReleased(const Zar3DBoundingGP& iPrimitive) {
  EXPECT_EQ(std::make_pair(iPrimitive.OpenVertexReads(), iPrimitive.OpenArrayReads()), std::make_pair(0, 0));
}

TEST(LineDecoding, SegmentsOfEveryLineTypeAndWhereAFailingSegmentStops) {
  using Line = Zar3DLineGP;
  const struct {
    int type;
    unsigned int points;
    std::size_t failingCall;
    std::vector<RecordedLine> expected;
  } cases[] = {
      {Line::IndependentSegments, 4, 0, Segments({{0, 1}, {2, 3}})},
      {Line::IndependentSegments, 5, 0, Segments({{0, 1}, {2, 3}})},  // an unpaired point is dropped
      {Line::IndependentSegments, 4, 1, Segments({{0, 1}})},
      {7, 4, 0, Segments({{0, 1}, {1, 2}, {2, 3}})},  // any other type is an open polyline
      {Line::ClosedPolyline, 4, 0, Segments({{0, 1}, {1, 2}, {2, 3}, {3, 0}})},
      {Line::ClosedPolyline, 4, 2, Segments({{0, 1}, {1, 2}})},  // stopped without closing
      {Line::ClosedPolyline, 1, 0, Segments({{0, 0}})},
      {Line::ClosedPolyline, 0, 0, {}},
  };
  for (const auto& c : cases) {
    RecordingRender render;
    render.failLineCall = c.failingCall;
    render.Draw3DLine(*ZarRef<Zar3DLineGP>(new Zar3DLineGP(FirstPoints(c.points), c.type)));
    EXPECT_EQ(render.lines, c.expected) << "type " << c.type << ", " << c.points << " points";
    EXPECT_EQ(render.Lines(), render.lines.size());
  }
}

TEST(LineDecoding, VisualizationLineWordGivesTheCountAndTheKind) {
  const std::pair<std::uint32_t, std::vector<RecordedLine>> cases[] = {
      {0x08000060u, Segments({{0, 1}, {1, 2}, {2, 0}})},  // 3 points, closed
      {0x04000060u, Segments({{0, 1}, {1, 2}})},          // open
      {0x0C000060u, Segments({{0, 1}, {1, 2}})},          // both kind bits: open
      {0x00000080u, Segments({{0, 1}, {2, 3}})},          // 4 points, independent segments
      {0x00000060u, Segments({{0, 1}})},                  // 3 points, the last unpaired
      {0xF200007Fu, Segments({{0, 1}})},                  // bits outside count and kind ignored
      {0x0800001Fu, {}},                                  // no point
      {0x08000020u, Segments({{0, 0}})}};                 // closed single point
  for (const auto& [word, expected] : cases) {
    RecordingRender render;
    render.DrawZarViz3DLine(nullptr);
    render.DrawZarViz3DLine(ZarRef<ZarViz3DLine>(new ZarViz3DLine(FirstPoints(4), word, true)).get());
    EXPECT_EQ(render.lines, expected) << std::hex << word;
    EXPECT_EQ(render.Lines(), expected.size());
  }
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

TEST(LineDecoding, PolylinesGoThroughTheLineOperation) {
  ZarRef<Zar3DPolylineGP> polyline(new Zar3DPolylineGP(FirstPoints(3), Zar3DLineGP::ClosedPolyline));
  LineCountingRender render;
  render.Traverse(*scene::Surface({polyline.get()}));
  EXPECT_EQ(render.lineCalls, 1);
  EXPECT_EQ(render.lines, Segments({{0, 1}, {1, 2}, {2, 0}}));
}

TEST(BoundingDecoding, LoosePointsAreWholeTriplesAndAFailingOneStopsThemButNotTheFace) {
  RecordingRender render;
  ZarRef<Zar3DBoundingGP> primitive(new Zar3DBoundingGP({}, {1, 2, 3, 4, 5, 6, 7}));
  render.Draw3DBoundinGP(*primitive);
  EXPECT_EQ(render.points, (std::vector<ZarMathPointf>{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(render.Points(), 2u);
  ExpectReadsReleased(*primitive);

  // Cylinders and curved pipes are decoded as bounding primitives.
  const ZarTessellation box = scene::Box({0, 0, 0}, {1, 1, 1});
  ZarRef<Zar3DCylinderGP> cylinder(new Zar3DCylinderGP(box, FirstPoints(4)));
  ZarRef<Zar3DCurvedPipeGP> pipe(new Zar3DCurvedPipeGP(box));
  RecordingRender failing;
  failing.failPointCall = 1;
  failing.Traverse(*scene::Surface({cylinder.get(), pipe.get()}));
  EXPECT_EQ(failing.points, std::vector<ZarMathPointf>{P[0]});
  EXPECT_EQ(failing.Points(), 1u);
  EXPECT_EQ(failing.triangles.size(), 24u);
  ExpectReadsReleased(*cylinder);
  ExpectReadsReleased(*pipe);
}

TEST(BoundingDecoding, FaceIndicesAreFloatPositionsWithListFansThenStrips) {
  ZarTessellation t;
  t.vertices = FirstPoints(5);
  t.triangles = {4, 3, 2};
  t.stripCounts = {4};
  t.strips = {0, 1, 2, 3};
  t.fanCounts = {4};
  t.fans = {4, 0, 1, 2};
  RecordingRender render;
  ZarRef<Zar3DBoundingGP> primitive(new Zar3DBoundingGP(t));
  render.Draw3DBoundinGP(*primitive);
  EXPECT_EQ(render.triangles, (std::vector<RecordedTriangle>{{P[4], P[3], P[2]},
                                                             {P[4], P[0], P[1]},
                                                             {P[4], P[1], P[2]},
                                                             {P[0], P[1], P[2]},
                                                             {P[2], P[1], P[3]}}));  // strips alternate winding
  ExpectReadsReleased(*primitive);
}

}  // namespace
