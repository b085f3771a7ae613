#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

#include "SceneBuilder.h"
#include "ZarTessellationRecord.h"

namespace {

using Triple = std::array<int, 3>;

// Vertex i sits at x = i, so a decoded triangle names its vertices by their x.
ZarTessellation Numbered(unsigned int iVertexCount) {
  ZarTessellation t;
  for (unsigned int i = 0; i < iVertexCount; ++i) t.vertices.insert(t.vertices.end(), {float(i), 0.5f, -1.0f});
  return t;
}

std::vector<Triple> Names(const RecordingRender& iRender) {
  std::vector<Triple> names;
  for (const RecordedTriangle& t : iRender.triangles) names.push_back({int(t.a.x), int(t.b.x), int(t.c.x)});
  return names;
}

// Decodes a record against the vertices of iTessellation as the platform would hand it over.
std::vector<Triple> Decode(const ZarTessellation& iTessellation, const std::vector<std::uint8_t>& iRecord,
                           RecordingRender& ioRender) {
  ZarVizVertexBuffer buffer(iTessellation.vertices.data(), unsigned(iTessellation.VertexCount()));
  ZarViz3DFace face(iRecord);
  ioRender.SetCurrentVertexBuffer(&buffer);
  ioRender.DrawZarViz3DFace(&face);
  ioRender.SetCurrentVertexBuffer(nullptr);
  return Names(ioRender);
}

// Vertices A..E are 0..4 in every run below.
ZarTessellation AllKinds() {
  ZarTessellation t = Numbered(300);  // 300 vertices: positions need 16 bits, numbers 16 too
  t.triangles = {7, 8, 9, 299, 0, 1};
  t.stripCounts = {5, 3, 4};
  t.strips = {0, 1, 2, 3, 4, 10, 11, 12, 20, 21, 22, 23};
  t.fanCounts = {5, 2, 3};
  t.fans = {0, 1, 2, 3, 4, 30, 31, 40, 41, 42};
  return t;
}

const std::vector<Triple> allKindsDecoded = {
    {7, 8, 9},   {299, 0, 1},                                  // the list first
    {0, 1, 2},   {0, 2, 3},   {0, 3, 4},   {40, 41, 42},       // then every fan
    {0, 1, 2},   {2, 1, 3},   {2, 3, 4},                       // strip A..E alternates winding
    {10, 11, 12}, {20, 21, 22}, {22, 21, 23}};                 // second strip starts at position 5

class RecordLayouts
    : public ::testing::TestWithParam<std::tuple<unsigned int, bool, bool, bool>> {};

TEST_P(RecordLayouts, DecodeListThenFansThenStripsWhateverTheLayout) {
  const auto [width, vertexNumbers, longHeader, extraBlock] = GetParam();
  ZarTessellation t = AllKinds();
  if (width == 1) t.triangles = {7, 8, 9, 60, 0, 1};  // float positions too stay within 8 bits
  ZarTessellationRecord::Layout layout;
  layout.indexBytes = width;
  layout.vertexNumbers = vertexNumbers;
  layout.longHeader = longHeader;
  layout.extraBlock = extraBlock;
  RecordingRender render;
  std::vector<Triple> expected = allKindsDecoded;
  expected[1] = {int(t.triangles[3]), 0, 1};
  EXPECT_EQ(Decode(t, ZarTessellationRecord::Encode(t, layout), render), expected);
  EXPECT_EQ(render.Triangles(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(AllFlagCombinations, RecordLayouts,
                         ::testing::Combine(::testing::Values(1u, 2u, 4u), ::testing::Bool(), ::testing::Bool(),
                                            ::testing::Bool()));

TEST(FaceRecord, SingleKindLayouts) {
  ZarTessellation stripsOnly = Numbered(6);
  stripsOnly.stripCounts = {3, 4};
  stripsOnly.strips = {0, 1, 2, 2, 3, 4, 5};
  RecordingRender strips;
  EXPECT_EQ(Decode(stripsOnly, ZarTessellationRecord::Encode(stripsOnly), strips),
            (std::vector<Triple>{{0, 1, 2}, {2, 3, 4}, {4, 3, 5}}));

  ZarTessellation fansAndList = Numbered(6);
  fansAndList.triangles = {5, 4, 3};
  fansAndList.fanCounts = {4};
  fansAndList.fans = {0, 1, 2, 3};
  RecordingRender fans;
  EXPECT_EQ(Decode(fansAndList, ZarTessellationRecord::Encode(fansAndList), fans),
            (std::vector<Triple>{{5, 4, 3}, {0, 1, 2}, {0, 2, 3}}));
}

TEST(FaceRecord, WidthBitsAreTestedThirtyTwoFirstAndDefaultToThirtyTwo) {
  ZarTessellation t = Numbered(4);
  t.triangles = {1, 2, 3};
  ZarTessellationRecord::Layout layout;
  layout.indexBytes = 4;
  layout.extraFlags = ZarTessellationRecord::Index8;  // loses to bit 7
  RecordingRender both;
  EXPECT_EQ(Decode(t, ZarTessellationRecord::Encode(t, layout), both), (std::vector<Triple>{{1, 2, 3}}));

  std::vector<std::uint8_t> record = ZarTessellationRecord::Encode(t, ZarTessellationRecord::Layout{4});
  record[0] &= static_cast<std::uint8_t>(~ZarTessellationRecord::Index32);  // no width bit at all
  RecordingRender none;
  EXPECT_EQ(Decode(t, record, none), (std::vector<Triple>{{1, 2, 3}}));
}

TEST(FaceRecord, LongHeaderAndBlockPutTheTriangleCountAt24Bytes) {
  ZarTessellation t = Numbered(3);
  t.triangles = {0, 1, 2};
  ZarTessellationRecord::Layout layout;
  layout.longHeader = layout.extraBlock = true;
  const std::vector<std::uint8_t> record = ZarTessellationRecord::Encode(t, layout);
  std::uint32_t flags = 0, count = 0;
  std::memcpy(&flags, record.data(), 4);
  std::memcpy(&count, record.data() + 24, 4);
  EXPECT_EQ(flags & 0x209u, 0x209u);
  EXPECT_EQ(count, 1u);
}

TEST(FaceRecord, StrideDecidesWhetherAnIndexIsAVertexOrAFloatPosition) {
  ZarTessellation t = Numbered(8);
  t.triangles = {6, 6, 6};
  RecordingRender numbers;
  EXPECT_EQ(Decode(t, ZarTessellationRecord::Encode(t), numbers)[0], (Triple{6, 6, 6}));

  // The same index bytes with bit 6 clear: value 6 is float 6, the third vertex.
  std::vector<std::uint8_t> record = ZarTessellationRecord::Encode(t);
  record[0] &= static_cast<std::uint8_t>(~ZarTessellationRecord::VertexNumbers);
  RecordingRender positions;
  EXPECT_EQ(Decode(t, record, positions)[0], (Triple{2, 2, 2}));
}

TEST(FaceRecord, AFailingHookStopsTheRestOfThePrimitiveOnly) {
  ZarTessellation t = AllKinds();
  RecordingRender render;
  render.failTriangleCall = 2;
  Decode(t, ZarTessellationRecord::Encode(t), render);
  EXPECT_EQ(render.triangles.size(), 2u);  // no fan or strip after the failing list triangle
  EXPECT_EQ(render.Triangles(), 2u);

  RecordingRender inFan;
  inFan.failTriangleCall = 4;  // second triangle of the first fan
  EXPECT_EQ(Decode(t, ZarTessellationRecord::Encode(t), inFan).size(), 4u);
}

TEST(FaceRecord, NothingToDecodeWithoutFaceBufferOrRecord) {
  ZarTessellation t = Numbered(3);
  t.triangles = {0, 1, 2};
  ZarViz3DFace face(ZarTessellationRecord::Encode(t));
  ZarViz3DFace empty;
  ZarVizVertexBuffer buffer(t.vertices.data(), 3);
  ZarVizVertexBuffer noArray(nullptr, 3);
  RecordingRender render;
  render.DrawZarViz3DFace(&face);  // no current vertex buffer
  render.SetCurrentVertexBuffer(&buffer);
  render.DrawZarViz3DFace(nullptr);
  render.DrawZarViz3DFace(&empty);
  render.SetCurrentVertexBuffer(&noArray);
  render.DrawZarViz3DFace(&face);
  EXPECT_TRUE(render.triangles.empty());
  EXPECT_EQ(render.Triangles(), 0u);
}

TEST(FaceRecord, FacePrimitiveDecodesTheSameThroughItsRecordAndItsArrays) {
  const ZarTessellation t = AllKinds();
  ZarRef<Zar3DFaceGP> face = scene::Face(t);
  RecordingRender viaRecord, viaArrays;
  viaRecord.Draw3DFace(*face);
  viaArrays.Draw3DBoundinGP(*face);
  EXPECT_EQ(Names(viaRecord), allKindsDecoded);
  EXPECT_EQ(Names(viaArrays), allKindsDecoded);
  EXPECT_EQ(face->OpenArrayReads(), 0);
}

TEST(FaceRecord, EncoderRefusesWhatCannotBePacked) {
  ZarTessellation t = Numbered(300);
  t.triangles = {0, 1, 299};
  EXPECT_THROW(ZarTessellationRecord::Encode(t, ZarTessellationRecord::Layout{1}), std::invalid_argument);
  t.triangles = {0, 1, 300};
  EXPECT_THROW(ZarTessellationRecord::Encode(t), std::invalid_argument);
  EXPECT_EQ(ZarTessellationRecord::Encode(Numbered(300)).size(), 4u);  // flags alone: no triangle
}

}  // namespace
