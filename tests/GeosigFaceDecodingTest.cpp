#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "SceneBuilder.h"
#include "ZarTessellationRecord.h"

namespace {

using Triple = std::array<int, 3>;
using Record = std::vector<std::uint8_t>;
namespace record = ZarTessellationRecord;

// Vertex i sits at x = i, so a decoded triangle names its vertices by their x.
ZarTessellation Numbered(unsigned int iVertexCount, std::vector<unsigned int> iTriangles = {}) {
  ZarTessellation t;
  for (unsigned int i = 0; i < iVertexCount; ++i) t.vertices.insert(t.vertices.end(), {float(i), 0.5f, -1.0f});
  t.triangles = std::move(iTriangles);
  return t;
}

std::vector<Triple> Names(const RecordingRender& iRender) {
  std::vector<Triple> names;
  for (const RecordedTriangle& t : iRender.triangles) names.push_back({int(t.a.x), int(t.b.x), int(t.c.x)});
  return names;
}

// Decodes a record against the vertices of iTessellation as the platform would hand it over.
std::vector<Triple> Decode(const ZarTessellation& iTessellation, const Record& iRecord,
                           RecordingRender&& ioRender = {}) {
  ZarVizVertexBuffer buffer(iTessellation.vertices.data(), unsigned(iTessellation.VertexCount()));
  ZarViz3DFace face(iRecord);
  ioRender.SetCurrentVertexBuffer(&buffer);
  ioRender.DrawZarViz3DFace(&face);
  ioRender.SetCurrentVertexBuffer(nullptr);
  EXPECT_EQ(ioRender.Triangles(), ioRender.triangles.size());
  return Names(ioRender);
}

// 300 vertices: positions need 16 bits, numbers 16 too.
ZarTessellation AllKinds() {
  ZarTessellation t = Numbered(300, {7, 8, 9, 299, 0, 1});
  t.stripCounts = {5, 3, 4};
  t.strips = {0, 1, 2, 3, 4, 10, 11, 12, 20, 21, 22, 23};
  t.fanCounts = {5, 2, 3};
  t.fans = {0, 1, 2, 3, 4, 30, 31, 40, 41, 42};
  return t;
}

const std::vector<Triple> allKindsDecoded = {
    {7, 8, 9},    {299, 0, 1},                              // the list first
    {0, 1, 2},    {0, 2, 3},    {0, 3, 4},   {40, 41, 42},  // then every fan
    {0, 1, 2},    {2, 1, 3},    {2, 3, 4},                  // strip A..E alternates winding
    {10, 11, 12}, {20, 21, 22}, {22, 21, 23}};              // second strip starts at position 5

class RecordLayouts : public ::testing::TestWithParam<std::tuple<unsigned int, bool, bool, bool>> {};

TEST_P(RecordLayouts, DecodeListThenFansThenStripsWhateverTheLayout) {
  const auto [width, vertexNumbers, longHeader, extraBlock] = GetParam();
  ZarTessellation t = AllKinds();
  if (width == 1) t.triangles[3] = 60;  // float positions too stay within 8 bits
  std::vector<Triple> expected = allKindsDecoded;
  expected[1][0] = int(t.triangles[3]);
  EXPECT_EQ(Decode(t, record::Encode(t, {width, vertexNumbers, longHeader, extraBlock})), expected);
}

INSTANTIATE_TEST_SUITE_P(AllFlagCombinations, RecordLayouts,
                         ::testing::Combine(::testing::Values(1u, 2u, 4u), ::testing::Bool(), ::testing::Bool(),
                                            ::testing::Bool()));

TEST(FaceRecord, LayoutsWithoutEveryKind) {
  ZarTessellation strips = Numbered(6);
  strips.stripCounts = {3, 4};
  strips.strips = {0, 1, 2, 2, 3, 4, 5};
  EXPECT_EQ(Decode(strips, record::Encode(strips)), (std::vector<Triple>{{0, 1, 2}, {2, 3, 4}, {4, 3, 5}}));

  ZarTessellation fans = Numbered(6, {5, 4, 3});
  fans.fanCounts = {4};
  fans.fans = {0, 1, 2, 3};
  EXPECT_EQ(Decode(fans, record::Encode(fans)), (std::vector<Triple>{{5, 4, 3}, {0, 1, 2}, {0, 2, 3}}));
}

TEST(FaceRecord, WidthBitsAreTestedThirtyTwoFirstAndStrideDecidesTheIndexMeaning) {
  const ZarTessellation t = Numbered(8, {1, 2, 3});
  EXPECT_EQ(Decode(t, record::Encode(t, {4, true, false, false, record::Index8})), (std::vector<Triple>{{1, 2, 3}}));
  Record noWidth = record::Encode(t, {4});
  noWidth[0] &= static_cast<std::uint8_t>(~record::Index32);  // no width bit at all: 32 bits
  EXPECT_EQ(Decode(t, noWidth), (std::vector<Triple>{{1, 2, 3}}));

  // The same index bytes with the vertex-number bit clear: value 6 is float 6, the third vertex.
  const ZarTessellation six = Numbered(8, {6, 6, 6});
  Record positions = record::Encode(six);
  EXPECT_EQ(Decode(six, positions)[0], (Triple{6, 6, 6}));
  positions[0] &= static_cast<std::uint8_t>(~record::VertexNumbers);
  EXPECT_EQ(Decode(six, positions)[0], (Triple{2, 2, 2}));
}

TEST(FaceRecord, AFailingHookStopsTheRestOfThePrimitiveOnly) {
  const ZarTessellation t = AllKinds();
  for (const auto& [failing, decoded] : {std::pair<std::size_t, std::size_t>{2, 2}, {4, 4}}) {
    RecordingRender render;  // a failing list triangle stops fans and strips, a fan the strips
    render.failTriangleCall = failing;
    EXPECT_EQ(Decode(t, record::Encode(t), std::move(render)).size(), decoded);
  }
}

}  // namespace
