// End-to-end tests of `geosig voxelize`: the voxels of known surfaces, and the written cubes
// read back by the mesh importer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "CommandRunner.h"
#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

// The unit cube [0, 1]^3 as 12 triangles.
const char unitCube[] =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\nf 2 3 7\nf 2 7 6\nf 3 4 8\nf 3 8 7\nf 4 1 5\nf 4 5 8\n";

json Voxelize(const std::string& iModel, const std::string& iOutput, std::vector<std::string> iOptions) {
  iOptions.insert(iOptions.begin(), {"voxelize", "--json", iModel, "-o", iOutput});
  const CommandResult result = RunCommand(geosig, iOptions);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  return json::parse(result.out)["files"][0];
}

json Described(const std::string& iPath) {
  const CommandResult result = RunCommand(geosig, {"describe", "--json", iPath});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  return json::parse(result.out)["files"][0]["descriptors"];
}

// The JSON chunk of a binary glTF file.
json GlbDocument(const std::string& iPath) {
  const std::string bytes = FileContents(iPath);
  std::uint32_t length = 0;
  if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0) return json();
  std::memcpy(&length, bytes.data() + 12, sizeof length);
  return json::parse(bytes.substr(20, length));
}

// The files of a directory, to see that nothing was left behind.
std::vector<std::string> Entries(const std::string& iDirectory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(iDirectory)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(VoxelizeCommand, SurfaceOfACubeOccupiesTheBoundaryCellsOfTheGrid) {
  TemporaryDirectory directory;
  const std::string cube = directory.Write("cube.obj", unitCube);
  // n cells a side: n^3 - (n - 2)^3 on the surface. The root takes 32 bytes, a node 32 and a
  // node set 8; at depth 4 the 8 octants are nodes and 56 of the 64 cells of edge 1/4 node sets.
  const struct {
    int depth;
    int voxels;
    int bytes;
  } expected[] = {{1, 8, 32}, {2, 56, 32}, {3, 296, 32 + 8 * 8}, {4, 1352, 32 + 8 * 32 + 56 * 8}};
  for (const auto& [depth, voxels, bytes] : expected) {
    SCOPED_TRACE(depth);
    const json report = Voxelize(cube, directory.Path("cube.glb"), {"--depth", std::to_string(depth)});
    EXPECT_EQ(report["voxels"], voxels);
    EXPECT_EQ(report["octreeBytes"], bytes);
    EXPECT_NEAR(report["voxelEdge"].get<double>(), 1.0 / (1 << depth), 1e-5);
    // The cubes of the boundary cells fill the model's bounding cube.
    ExpectTriple(report["cubesBox"]["min"], 0, 0, 0, 1e-5);
    ExpectTriple(report["cubesBox"]["max"], 1, 1, 1, 1e-5);
  }
}

TEST(VoxelizeCommand, GltfSharesOneCubeAndEveryFormatReadsBackAsTheVoxelCubes) {
  TemporaryDirectory directory;
  const json report = Voxelize(samples + "/peg.stl", directory.Path("peg.glb"), {"--depth", "4"});
  const int voxels = report["voxels"];
  EXPECT_GT(voxels, 100);

  const json document = GlbDocument(directory.Path("peg.glb"));
  ASSERT_EQ(document["meshes"].size(), 1u);
  ASSERT_EQ(document["nodes"].size(), static_cast<std::size_t>(voxels) + 1);
  EXPECT_EQ(document["nodes"][0]["children"].size(), static_cast<std::size_t>(voxels));
  EXPECT_EQ(document["accessors"][0]["count"], 8);  // the cube's corners

  // The cubes span the peg's box, give or take less than a voxel.
  const double edge = report["voxelEdge"];
  const json& cubes = report["cubesBox"];
  const double peg[2][3] = {{-5, -5, 0}, {5, 5, 20}};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    EXPECT_LE(cubes["min"][axis].get<double>(), peg[0][axis]);
    EXPECT_GT(cubes["min"][axis].get<double>(), peg[0][axis] - edge);
    EXPECT_GE(cubes["max"][axis].get<double>(), peg[1][axis]);
    EXPECT_LT(cubes["max"][axis].get<double>(), peg[1][axis] + edge);
  }
  for (const char* name : {"peg.glb", "peg.gltf", "peg.obj", "peg.ply", "peg.stl"}) {
    SCOPED_TRACE(name);
    if (std::string(name) != "peg.glb") Voxelize(samples + "/peg.stl", directory.Path(name), {"--depth", "4"});
    const json read = Described(directory.Path(name));
    EXPECT_EQ(read["triangles"], 12 * voxels);
    ExpectSameNumbers(read["boundingBox"]["min"], cubes["min"], 1e-5, "min");
    ExpectSameNumbers(read["boundingBox"]["max"], cubes["max"], 1e-5, "max");
  }
}

TEST(VoxelizeCommand, OffsetGrowsEveryCubeAndKeepsTheVoxels) {
  TemporaryDirectory directory;
  const json plain = Voxelize(samples + "/blocks.step", directory.Path("plain.glb"), {"--depth", "3"});
  const json grown = Voxelize(samples + "/blocks.step", directory.Path("grown.obj"), {"--depth", "3", "--offset", "2"});
  EXPECT_EQ(grown["voxels"], plain["voxels"]);
  EXPECT_EQ(grown["offset"], 2);
  for (std::size_t axis = 0; axis < 3; ++axis) {
    EXPECT_NEAR(grown["cubesBox"]["min"][axis].get<double>(), plain["cubesBox"]["min"][axis].get<double>() - 1, 1e-4);
    EXPECT_NEAR(grown["cubesBox"]["max"][axis].get<double>(), plain["cubesBox"]["max"][axis].get<double>() + 1, 1e-4);
  }
  const json read = Described(directory.Path("grown.obj"));
  ExpectSameNumbers(read["boundingBox"]["min"], grown["cubesBox"]["min"], 1e-4, "min");
  ExpectSameNumbers(read["boundingBox"]["max"], grown["cubesBox"]["max"], 1e-4, "max");
  // The glTF output keeps one cube and grows it through each voxel's node.
  const json document = GlbDocument(directory.Path("plain.glb"));
  EXPECT_EQ(document["meshes"].size(), 1u);
}

TEST(VoxelizeCommand, FailuresLeaveNoFileAndKeepAnEarlierOne) {
  TemporaryDirectory directory;
  const std::string output = directory.Write("out.glb", "an earlier result");
  const std::string points = directory.Write("points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
  const std::vector<std::pair<std::string, std::string>> bad = {
      {directory.Path("missing.stl"), "no such file"},
      {points, "no triangle to voxelize"},
  };
  for (const auto& [model, reason] : bad) {
    SCOPED_TRACE(model);
    const CommandResult result = RunCommand(geosig, {"voxelize", model, "--depth", "3", "-o", output});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "geosig: " + model + ": " + reason + "\n");
  }
  const std::string cube = directory.Write("cube.obj", unitCube);
  const std::string unwritable = directory.Path("no/such/dir/out.stl");
  const CommandResult result = RunCommand(geosig, {"voxelize", cube, "--depth", "2", "-o", unwritable});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err.rfind("geosig: " + unwritable + ": cannot be created", 0), 0u) << result.err;

  EXPECT_EQ(FileContents(output), "an earlier result");
  EXPECT_EQ(Entries(directory.Path("")), (std::vector<std::string>{"cube.obj", "out.glb", "points.obj"}));
}

TEST(VoxelizeCommand, DepthOffsetAndFormatAreCheckedBeforeAnyWork) {
  const std::string peg = samples + "/peg.stl";
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"--depth", "0", "-o", "v.glb"}, {"--depth", "11", "-o", "v.glb"},
        {"--depth", "3", "-o", "v.fbx"}, {"--depth", "3", "--offset", "-1", "-o", "v.glb"},
        {"--depth", "3", "--offset", "nan", "-o", "v.glb"}, {"-o", "v.glb"}, {"--depth", "3"}}) {
    std::vector<std::string> arguments = {"voxelize", peg};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const CommandResult result = RunCommand(geosig, arguments);
    EXPECT_EQ(result.exitStatus, 2) << options[1];
    EXPECT_FALSE(std::filesystem::exists("v.glb"));
  }
}

}  // namespace
