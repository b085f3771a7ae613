#include "MeshImporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "MeshWriters.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

TEST(MeshImporter, ConcavePolygonIsTriangulatedInsideItsOutline) {
  // An L of area 3 whose first vertex does not see the whole polygon: a fan from it would
  // cover area outside the L with triangles of both orientations.
  TemporaryDirectory directory;
  const std::string path =
      directory.Write("ell.obj", "v 2 0 0\nv 2 1 0\nv 1 1 0\nv 1 2 0\nv 0 2 0\nv 0 0 0\nf 1 2 3 4 5 6\n");
  RecordingRender render;
  render.Traverse(*MeshImporter().Import(path).root);
  ASSERT_EQ(render.triangles.size(), 4u);
  float area = 0;
  for (const RecordedTriangle& t : render.triangles) {
    const ZarMathVectorf u = t.b - t.a, v = t.c - t.a;
    EXPECT_GT(u.x * v.y - u.y * v.x, 0.0f);
    area += 0.5f * (u.x * v.y - u.y * v.x);
  }
  EXPECT_FLOAT_EQ(area, 3.0f);
}

// A float whose lowest byte, first in a little-endian file, is a newline (1.0000012).
static float LowByteNewline() {
  const std::uint32_t bits = 0x3f80000a;
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

static std::string BigEndianBytes(float iValue) {
  char bytes[sizeof iValue];
  std::memcpy(bytes, &iValue, sizeof iValue);
  std::reverse(bytes, bytes + sizeof iValue);
  return std::string(bytes, sizeof bytes);
}

TEST(MeshImporter, BinaryPlyWhoseDataStartsWithANewlineByteIsReadFromThatByte) {
  // Assimp's reader took such a byte for the end of the header and read every later value one
  // byte late: a face of no vertex or a non-finite coordinate, as in many parts converted from CAD.
  TemporaryDirectory directory;
  ZarTessellation square;
  square.vertices = {LowByteNewline(), 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 2.5f};
  square.triangles = {0, 1, 2, 0, 2, 3};
  const std::string written = directory.Path("square.ply");
  WriteBinaryPly(written, square);
  RecordingRender faces;
  faces.Traverse(*MeshImporter().Import(written).root);
  const ZarMathPointf p0(LowByteNewline(), 0, 0), p1(1, 1, 0), p2(0, 1, 0), p3(0, 0, 2.5f);
  EXPECT_EQ(faces.triangles, (std::vector<RecordedTriangle>{{p0, p1, p2}, {p0, p2, p3}}));

  // Points alone in the other byte order, where nothing but their values would show the fault.
  const float tiny = 6.5e-33f;
  ASSERT_EQ(BigEndianBytes(tiny)[0], '\n');
  const std::string points =
      directory.Write("points.ply",
                      "ply\nformat binary_big_endian 1.0\nelement vertex 2\nproperty float x\nproperty float y\n"
                      "property float z\nend_header\n" +
                          BigEndianBytes(tiny) + BigEndianBytes(2) + BigEndianBytes(3) + BigEndianBytes(-4) +
                          BigEndianBytes(5) + BigEndianBytes(6));
  RecordingRender loose;
  loose.Traverse(*MeshImporter().Import(points).root);
  EXPECT_EQ(loose.points, (std::vector<ZarMathPointf>{{tiny, 2, 3}, {-4, 5, 6}}));
}
