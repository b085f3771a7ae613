// End-to-end tests of `geosig describe`: the program runs as a user would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

json Describe(const std::string& iPath, std::vector<std::string> iOptions = {}) {
  iOptions.insert(iOptions.begin(), {"describe", iPath});
  return FirstFileReport(iOptions)["descriptors"];
}

// The direction of an axis is its sign-free part: u and -u are the same axis.
void ExpectSameAxis(const json& iFirst, const json& iSecond) {
  double dot = 0;
  for (int k = 0; k < 3; ++k) dot += iFirst[k].get<double>() * iSecond[k].get<double>();
  EXPECT_NEAR(std::fabs(dot), 1.0, 1e-6) << iFirst << " and " << iSecond;
}

TEST(DescribeCommand, BlockAssemblyHasItsAnalyticDescriptorsAsStepAndAsGltf) {
  const json step = Describe(Sample("blocks.step"));
  EXPECT_EQ(step["triangles"], 36);  // three boxes of twelve
  ExpectTriple(step["boundingBox"]["min"], 0, 0, 0, 0);
  ExpectTriple(step["boundingBox"]["size"], 100, 60, 40, 0);
  ExpectTriple(step["boundingCube"]["min"], 0, -20, -30, 0);
  ExpectTriple(step["boundingCube"]["size"], 100, 100, 100, 0);
  // Each box's centre weighed by its area: the plate's 15200, each block's 2200.
  ExpectTriple(step["barycenter"]["point"], 991000.0 / 19600, 577000.0 / 19600, 186000.0 / 19600, 1e-4);
  EXPECT_NEAR(step["barycenter"]["matrix"][0][3].get<double>(), -991000.0 / 19600, 1e-4);
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(step["symmetries"][plane], false) << plane;
  EXPECT_EQ(step["cuboid"], json({{"isCuboid", false}}));
  // An asymmetric assembly has well-defined axes: the glTF file gives the same report.
  ExpectSameNumbers(Describe(Sample("blocks.glb")), step, 1e-5, "blocks.glb");
}

TEST(DescribeCommand, TurnedBrickIsACuboidWithItsFrameAndDimensionsAndAnOpenBoxIsNot) {
  const json brick = Describe(Sample("brick.obj"));
  // A 40 x 20 x 10 box turned by 30 degrees about z, centred on (5, 5, 5).
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  ExpectTriple(brick["barycenter"]["point"], 5, 5, 5, 1e-5);
  const json frame = {{c, -s, 0, 5}, {s, c, 0, 5}, {0, 0, 1, 5}, {0, 0, 0, 1}};  // edge directions, then the centre
  ExpectSameNumbers(brick["cuboid"], {{"isCuboid", true}, {"frame", frame}, {"dimensions", {40, 20, 10}}}, 1e-6, "");
  ExpectSameAxis(brick["principalAxes"]["axes"][0], json({c, s, 0}));  // the longest edge
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(brick["symmetries"][plane], true) << plane;

  // An open box and a single face pass the recognition render with made-up planes, but their
  // box would not fill their bounding box.
  TemporaryDirectory directory;
  const std::string corners = "v 0 0 5\nv 4 0 5\nv 0 2 5\nv 4 2 5\nv 0 0 8\nv 4 0 8\nv 0 2 8\nv 4 2 8\n";
  for (const std::string faces :
       {"f 1 3 4\nf 1 4 2\nf 1 2 6\nf 1 6 5\nf 3 7 8\nf 3 8 4\nf 1 5 7\nf 1 7 3\nf 2 4 8\nf 2 8 6\n",
        "f 1 2 4\nf 1 4 3\n"})
    EXPECT_EQ(Describe(directory.Write("part.obj", corners + faces))["cuboid"], json({{"isCuboid", false}})) << faces;
}

// The peg is symmetric about its mid-plane: the sign of its axes, and the axes across it
// (two equal values), are arbitrary. Only the first axis is compared, up to its sign.
json WithoutArbitraryAxes(json iDescriptors) {
  iDescriptors["principalAxes"].erase("axes");
  iDescriptors["principalAxes"].erase("matrix");
  iDescriptors.erase("normalisation");
  return iDescriptors;
}

TEST(DescribeCommand, PegHasTheSameDescriptorsInEveryFormat) {
  // The meshes are a 64-sector tessellation of the cylinder of radius 5 and height 20, the
  // glTF one placed by its node's transformation; the CAD files are tessellated on reading.
  const json mesh = Describe(Sample("peg.stl"));
  EXPECT_EQ(mesh["triangles"], 256);
  ExpectTriple(mesh["boundingBox"]["min"], -5, -5, 0, 0);
  ExpectTriple(mesh["boundingBox"]["max"], 5, 5, 20, 0);
  ExpectTriple(mesh["barycenter"]["point"], 0, 0, 10, 1e-4);  // sums of 256 floats
  EXPECT_NEAR(mesh["norm"]["value"].get<double>(), std::sqrt(5 * 5 + 10 * 10), 1e-4);
  ExpectSameAxis(mesh["principalAxes"]["axes"][0], json({0, 0, 1}));
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(mesh["symmetries"][plane], true) << plane;

  // A chord of a 64-sector circle of radius 5 is 0.006 from the arc, and the CAD reader's
  // default deflection is a thousandth of the 24.5 diagonal: relative to the peg's size, a
  // few thousandths.
  int cadTriangles = 0;
  for (const auto& [name, tolerance] : std::vector<std::pair<std::string, double>>{
           {"peg.obj", 1e-5}, {"peg.glb", 1e-5}, {"peg.step", 0.005}, {"peg.igs", 0.005}, {"peg.brep", 0.005}}) {
    SCOPED_TRACE(name);
    json other = Describe(Sample(name));
    if (name == "peg.step") cadTriangles = other["triangles"];
    other["triangles"] = mesh["triangles"];
    ExpectSameNumbers(WithoutArbitraryAxes(other), WithoutArbitraryAxes(mesh), tolerance, name);
    ExpectSameAxis(other["principalAxes"]["axes"][0], mesh["principalAxes"]["axes"][0]);
  }
  // The deflection options reach the CAD reader.
  EXPECT_GT(Describe(Sample("peg.step"), {"--deflection", "0.001"})["triangles"].get<int>(), cadTriangles);
  EXPECT_LT(Describe(Sample("peg.step"), {"--relative-deflection", "0.01"})["triangles"].get<int>(), cadTriangles);
}

TEST(DescribeCommand, EachBadFileGetsAOneLineErrorAndTheOthersAreStillDescribed) {
  TemporaryDirectory directory;
  const std::string stl = FileContents(Sample("peg.stl")), step = FileContents(Sample("blocks.step"));
  std::vector<std::pair<std::string, std::string>> bad = {
      {directory.Path("missing.stl"), "no such file"},
      {directory.Path(""), "is a directory"},
      {"/dev/null", "not a regular file"},
      {directory.Write("empty.obj", ""), "empty file"},
      {directory.Write("notes.xyz1", "a shopping list\n"), "unknown format"},
      {directory.Write("cut.stl", stl.substr(0, stl.size() / 2)), "STL"},
      {directory.Write("cut.step", step.substr(0, step.size() / 2)), "not a readable STEP file"},
      {directory.Write("index.ply",
                       "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                       "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                       "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n"),
       "mesh 0: face 0 refers to vertex 3 of 3"},
      {directory.Write("nan.obj", "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n"), "non-finite coordinate"},
      {directory.Write("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n"), "no triangle to describe"},
  };
  const std::string locked = directory.Write("locked.stl", stl);
  chmod(locked.c_str(), 0);
  if (access(locked.c_str(), R_OK) != 0) bad.push_back({locked, "cannot be read: Permission denied"});
  for (const auto& [path, reason] : bad) ExpectFileFailure(RunCommand(geosig, {"describe", path}), path, reason);

  // The other files are still described.
  const CommandResult mixed = RunCommand(geosig, {"describe", bad[0].first, Sample("blocks.step"), bad[3].first});
  EXPECT_EQ(mixed.exitStatus, 1);
  EXPECT_EQ(std::count(mixed.err.begin(), mixed.err.end(), '\n'), 2) << mixed.err;
  for (const char* line :
       {"  bounding box    min   (0, 0, 0)\n", "                  max   (100, 60, 40)\n",
        "  barycenter      point   (50.561226, 29.438776, 9.489796)\n", "  cuboid          isCuboid  false\n"})
    EXPECT_NE(mixed.out.find(line), std::string::npos) << line << mixed.out;
}

// A glTF unit cube whose indices are 16-bit; iIndices replaces the first ones.
std::string CubeGltf(const TemporaryDirectory& iDirectory, const std::vector<std::uint16_t>& iIndices) {
  std::vector<float> positions;
  for (int k = 0; k < 8; ++k)
    positions.insert(positions.end(), {k & 1 ? 1.f : 0.f, k & 2 ? 1.f : 0.f, k & 4 ? 1.f : 0.f});
  std::vector<std::uint16_t> indices = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                                        2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
  std::copy(iIndices.begin(), iIndices.end(), indices.begin());
  std::string buffer(reinterpret_cast<const char*>(positions.data()), positions.size() * sizeof(float));
  buffer.append(reinterpret_cast<const char*>(indices.data()), indices.size() * sizeof(std::uint16_t));
  iDirectory.Write("cube.bin", buffer);
  const json gltf = {{"asset", {{"version", "2.0"}}},
                     {"scene", 0},
                     {"scenes", {{{"nodes", {0}}}}},
                     {"nodes", {{{"mesh", 0}}}},
                     {"meshes", {{{"primitives", {{{"attributes", {{"POSITION", 0}}}, {"indices", 1}, {"mode", 4}}}}}}},
                     {"buffers", {{{"uri", "cube.bin"}, {"byteLength", buffer.size()}}}},
                     {"bufferViews",
                      {{{"buffer", 0}, {"byteOffset", 0}, {"byteLength", 96}},
                       {{"buffer", 0}, {"byteOffset", 96}, {"byteLength", 72}}}},
                     {"accessors",
                      {{{"bufferView", 0},
                        {"componentType", 5126},
                        {"count", 8},
                        {"type", "VEC3"},
                        {"min", {0, 0, 0}},
                        {"max", {1, 1, 1}}},
                       {{"bufferView", 1}, {"componentType", 5123}, {"count", 36}, {"type", "SCALAR"}}}}};
  return iDirectory.Write("cube.gltf", gltf.dump());
}

TEST(DescribeCommand, FaceTheReaderDropsIsAWarningAndLeavesAnOpenBoxThatIsNoCuboid) {
  TemporaryDirectory directory;
  EXPECT_EQ(Describe(CubeGltf(directory, {}))["cuboid"]["isCuboid"], true);
  const json dropped = FirstFileReport({"describe", CubeGltf(directory, {0, 2, 255})});
  EXPECT_EQ(dropped["descriptors"]["triangles"], 11);
  ASSERT_EQ(dropped["warnings"].size(), 1u) << dropped;
  EXPECT_NE(dropped["warnings"][0].get<std::string>().find("out-of-range indices"), std::string::npos) << dropped;
  EXPECT_EQ(dropped["descriptors"]["cuboid"], json({{"isCuboid", false}}));
}

TEST(DescribeCommand, SurfaceWithoutAreaHasItsUndefinedDescriptorsReportedWithTheReason) {
  TemporaryDirectory directory;
  const std::string needle = directory.Write("needle.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n");
  const json undefined = {{"undefined", "the surface has no area"}};
  const json descriptors = Describe(needle);
  for (const char* descriptor : {"barycenter", "norm", "principalAxes", "symmetries", "normalisation"})
    EXPECT_EQ(descriptors[descriptor], undefined) << descriptor;
  EXPECT_EQ(descriptors["cuboid"], json({{"isCuboid", false}}));
  const std::string text = RunCommand(geosig, {"describe", needle}).out;
  for (const char* line : {"  barycenter      undefined  the surface has no area\n",
                           "  moment balance  undefined  the surface has no area\n"})
    EXPECT_NE(text.find(line), std::string::npos) << text;
}

TEST(DescribeCommand, HelpNamesTheOptionsAndBadOptionsAreRefused) {
  EXPECT_NE(RunCommand(geosig, {"describe", "--help"}).out.find("--angular-deflection"), std::string::npos);
  EXPECT_EQ(RunCommand(geosig, {"describe", "--deflection", "-1", Sample("peg.step")}).exitStatus, 2);
}

}  // namespace
