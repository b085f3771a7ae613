// End-to-end tests of `geosig voxelize`: the voxels of known surfaces, and the written cubes
// read back by the mesh importer.
#include <gtest/gtest.h>

#include <filesystem>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

// The unit cube [0, 1]^3 as 12 triangles.
const char unitCube[] =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\nf 2 3 7\nf 2 7 6\nf 3 4 8\nf 3 8 7\nf 4 1 5\nf 4 5 8\n";

json Voxelize(const std::string& iModel, const std::string& iOutput, const std::string& iDepth,
              std::vector<std::string> iOptions = {}) {
  iOptions.insert(iOptions.begin(), {"voxelize", iModel, "-o", iOutput, "--depth", iDepth});
  return FirstFileReport(iOptions);
}

// The bounding box of a written file, read back, is the box of the voxel cubes.
void ExpectReadBackAsCubes(const std::string& iPath, const json& iVoxelized) {
  const json read = FirstFileReport({"describe", iPath})["descriptors"];
  EXPECT_EQ(read["triangles"], 12 * iVoxelized["voxels"].get<int>());
  ExpectSameNumbers(read["boundingBox"]["min"], iVoxelized["cubesBox"]["min"], 1e-5, "min");
  ExpectSameNumbers(read["boundingBox"]["max"], iVoxelized["cubesBox"]["max"], 1e-5, "max");
}

TEST(VoxelizeCommand, SurfaceOfACubeOccupiesTheBoundaryCellsOfTheGrid) {
  TemporaryDirectory directory;
  const std::string cube = directory.Write("cube.obj", unitCube);
  // n cells a side: n^3 - (n - 2)^3 on the surface. The root takes 32 bytes, a node 32 and a
  // node set 8; at depth 4 the 8 octants are nodes and 56 of the 64 cells of edge 1/4 node sets.
  for (const auto& [depth, voxels, bytes] :
       {std::array<int, 3>{1, 8, 32}, {2, 56, 32}, {3, 296, 32 + 8 * 8}, {4, 1352, 32 + 8 * 32 + 56 * 8}}) {
    SCOPED_TRACE(depth);
    const json report = Voxelize(cube, directory.Path("cube.glb"), std::to_string(depth));
    EXPECT_EQ(report["voxels"], voxels);
    EXPECT_EQ(report["octreeBytes"], bytes);
    EXPECT_NEAR(report["voxelEdge"].get<double>(), 1.0 / (1 << depth), 1e-5);
    ExpectTriple(report["cubesBox"]["min"], 0, 0, 0, 1e-5);  // the boundary cells fill the bounding cube
    ExpectTriple(report["cubesBox"]["max"], 1, 1, 1, 1e-5);
  }
}

TEST(VoxelizeCommand, GltfSharesOneCubeAndEveryFormatReadsBackAsTheVoxelCubes) {
  TemporaryDirectory directory;
  const json report = Voxelize(Sample("peg.stl"), directory.Path("peg.glb"), "4");
  const std::size_t voxels = report["voxels"];
  EXPECT_GT(voxels, 100u);
  for (const char* name : {"peg.glb", "peg.gltf", "peg.obj", "peg.ply", "peg.stl"}) {
    SCOPED_TRACE(name);
    if (std::string(name) != "peg.glb") Voxelize(Sample("peg.stl"), directory.Path(name), "4");
    ExpectReadBackAsCubes(directory.Path(name), report);
  }
  // One cube of 8 corners, and one node per voxel under a root.
  const json document = json::parse(FileContents(directory.Path("peg.gltf")));
  EXPECT_EQ(document["meshes"].size(), 1u);
  EXPECT_EQ(document["accessors"][0]["count"], 8);
  ASSERT_EQ(document["nodes"].size(), voxels + 1);
  EXPECT_EQ(document["nodes"][0]["children"].size(), voxels);
}

TEST(VoxelizeCommand, OffsetGrowsEveryCubeAndKeepsTheVoxels) {
  TemporaryDirectory directory;
  const json plain = Voxelize(Sample("blocks.step"), directory.Path("plain.stl"), "3");
  const json grown = Voxelize(Sample("blocks.step"), directory.Path("grown.glb"), "3", {"--offset", "2"});
  EXPECT_EQ(grown["voxels"], plain["voxels"]);
  EXPECT_EQ(grown["offset"], 2);
  for (std::size_t axis = 0; axis < 3; ++axis) {
    EXPECT_NEAR(grown["cubesBox"]["min"][axis].get<double>(), plain["cubesBox"]["min"][axis].get<double>() - 1, 1e-4);
    EXPECT_NEAR(grown["cubesBox"]["max"][axis].get<double>(), plain["cubesBox"]["max"][axis].get<double>() + 1, 1e-4);
  }
  // Each voxel's node scales the shared cube, then moves it.
  ExpectReadBackAsCubes(directory.Path("grown.glb"), grown);
}

TEST(VoxelizeCommand, BadInputAndOptionsLeaveNoFileAndKeepAnEarlierOne) {
  TemporaryDirectory directory;
  const std::string output = directory.Write("out.glb", "an earlier result");
  const std::string points = directory.Write("points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
  for (const auto& [model, reason] : std::vector<std::pair<std::string, std::string>>{
           {directory.Path("missing.stl"), "no such file"}, {points, "no triangle to voxelize"}})
    ExpectFileFailure(RunCommand(geosig, {"voxelize", model, "--depth", "3", "-o", output}), model, reason);
  // An offset that fits a float but not once added to the coordinates of a model far out.
  const std::string far = directory.Write("far.obj", "v 3e38 0 0\nv 3e38 1 0\nv 3e38 0 1\nf 1 2 3\n");
  ExpectFileFailure(RunCommand(geosig, {"voxelize", far, "--depth", "2", "--offset", "1e38", "-o", output}), far,
                    "too large for single precision");
  const std::string cube = directory.Write("cube.obj", unitCube), unwritable = directory.Path("no/such/dir/out.stl");
  ExpectFileFailure(RunCommand(geosig, {"voxelize", cube, "--depth", "2", "-o", unwritable}), unwritable,
                    "cannot be created");

  // Depth, offset and format are checked before any work.
  const auto status = [&](const std::string& iOptions) {
    return RunCommand("/bin/sh", {"-c", "\"$0\" voxelize \"$1\" " + iOptions, geosig, cube, output}).exitStatus;
  };
  for (const char* options :
       {"--depth 11 -o \"$2\"", "--depth 3 --offset -1 -o \"$2\"", "--depth 3 --offset nan -o \"$2\"",
        "--depth 3 --offset 1e39 -o \"$2\"", "-o \"$2\"", "--depth 3 -o \"$2.fbx\"", "--depth 3"})
    EXPECT_EQ(status(options), 2) << options;

  EXPECT_EQ(FileContents(output), "an earlier result");
  const auto entries = std::filesystem::directory_iterator(directory.Path(""));
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 4);  // the earlier output and the three models
}

}  // namespace
