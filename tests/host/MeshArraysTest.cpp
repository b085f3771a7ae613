// The host API's vertex and index arrays: described as the same mesh read from a file, and
// refused with a reason when they cannot be read.
#include "MeshArrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ModelDescription.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

namespace {

struct OwnedMesh {
  std::vector<float> vertices;
  std::vector<std::uint32_t> triangles;

  MeshArrays Arrays() const { return {vertices.data(), vertices.size() / 3, triangles.data(), triangles.size() / 3}; }
};

OwnedMesh BrickMesh() {
  const ZarTessellation box = scene::Box(ZarMathPointf(1, 2, 3), ZarMathPointf(5, 4, 4));
  return {box.vertices, {box.triangles.begin(), box.triangles.end()}};
}

// The same mesh as an OBJ file: vertices, then faces numbered from 1.
std::string AsObj(const OwnedMesh& iMesh) {
  std::string text;
  for (std::size_t v = 0; v < iMesh.vertices.size(); v += 3)
    text += "v " + std::to_string(iMesh.vertices[v]) + " " + std::to_string(iMesh.vertices[v + 1]) + " " +
            std::to_string(iMesh.vertices[v + 2]) + "\n";
  for (std::size_t t = 0; t < iMesh.triangles.size(); t += 3)
    text += "f " + std::to_string(iMesh.triangles[t] + 1) + " " + std::to_string(iMesh.triangles[t + 1] + 1) + " " +
            std::to_string(iMesh.triangles[t + 2] + 1) + "\n";
  return text;
}

void ExpectSamePoint(const ZarMathPointf& iFirst, const ZarMathPointf& iSecond) {
  EXPECT_EQ(iFirst.x, iSecond.x);
  EXPECT_EQ(iFirst.y, iSecond.y);
  EXPECT_EQ(iFirst.z, iSecond.z);
}

TEST(MeshArrays, ArraysAreDescribedAsTheSameMeshReadFromAFile) {
  const OwnedMesh brick = BrickMesh();
  const Outcome<Descriptors> arrays = DescribeMesh(brick.Arrays());
  ASSERT_TRUE(arrays) << arrays.Reason();
  TemporaryDirectory directory;
  const Outcome<ModelDescription> file = DescribeFile(directory.Write("brick.obj", AsObj(brick)), ImportOptions());
  ASSERT_TRUE(file) << file.Reason();
  EXPECT_EQ(file->format, "OBJ");

  const Descriptors &fromArrays = arrays.Value(), &fromFile = file->descriptors;
  EXPECT_EQ(fromArrays.triangles, 12);
  EXPECT_EQ(fromFile.triangles, 12);
  ExpectSamePoint(fromArrays.boundingBox.min, ZarMathPointf(1, 2, 3));
  ExpectSamePoint(fromArrays.boundingCube.max, fromFile.boundingCube.max);
  ASSERT_TRUE(fromArrays.barycenter && fromFile.barycenter);
  EXPECT_NEAR(fromArrays.barycenter->point.z, 3.5f, 1e-6f);
  ExpectSamePoint(fromArrays.barycenter->point, fromFile.barycenter->point);
  EXPECT_EQ(fromArrays.norm->value, fromFile.norm->value);
  ASSERT_TRUE(fromArrays.principalAxes && fromFile.principalAxes);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(fromArrays.principalAxes->values[k], fromFile.principalAxes->values[k]);
  ASSERT_TRUE(fromArrays.cuboid.has_value());
  EXPECT_NEAR(fromArrays.cuboid->dimensions[0] * fromArrays.cuboid->dimensions[1] * fromArrays.cuboid->dimensions[2],
              4.0 * 2.0 * 1.0, 1e-9);
}

TEST(MeshArrays, ArraysThatCannotBeReadAreRefusedWithTheFirstOffence) {
  const OwnedMesh brick = BrickMesh();
  const float inf = std::numeric_limits<float>::infinity();
  const std::size_t huge = std::numeric_limits<std::size_t>::max();
  OwnedMesh withNan = brick, withInf = brick, outOfRange = brick;
  withNan.vertices[4] = std::nanf("");
  withInf.vertices[23] = -inf;
  outOfRange.triangles[7] = 8;
  const MeshArrays good = brick.Arrays();
  const std::vector<std::pair<MeshArrays, std::string>> cases = {
      {{good.vertices, 0, good.triangles, 12}, "the mesh has no vertex"},
      {{good.vertices, 8, good.triangles, 0}, "the mesh has no triangle"},
      {{nullptr, 8, good.triangles, 12}, "the vertex array is missing"},
      {{good.vertices, 8, nullptr, 12}, "the triangle array is missing"},
      {withNan.Arrays(), "vertex 1 has a non-finite coordinate"},
      {withInf.Arrays(), "vertex 7 has a non-finite coordinate"},
      {outOfRange.Arrays(), "triangle 2 refers to vertex 8 of 8"},
      // Counts whose arrays could not exist: refused before anything is read.
      {{good.vertices, huge, good.triangles, 12}, "too many vertices: " + std::to_string(huge)},
      {{good.vertices, 8, good.triangles, huge / 3 + 1}, "too many triangles: " + std::to_string(huge / 3 + 1)},
  };
  for (const auto& [arrays, reason] : cases) {
    const Outcome<Descriptors> described = DescribeMesh(arrays);
    ASSERT_FALSE(described) << reason;
    EXPECT_EQ(described.Reason(), reason);
  }
}

}  // namespace
