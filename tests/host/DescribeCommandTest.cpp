// End-to-end tests of `geosig describe`: the program runs as a user would run it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

#include "CommandRunner.h"
#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

using nlohmann::json;

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

std::string Sample(const std::string& iName) { return samples + "/" + iName; }

// The descriptors of one file, read from the JSON report.
json Describe(const std::string& iPath, std::vector<std::string> iOptions = {}) {
  iOptions.insert(iOptions.begin(), {"describe", "--json"});
  iOptions.push_back(iPath);
  const CommandResult result = RunCommand(geosig, iOptions);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const json report = json::parse(result.out);
  EXPECT_EQ(report["files"].size(), 1u);
  return report["files"][0]["descriptors"];
}

// The direction of an axis is its sign-free part: u and -u are the same axis.
void ExpectSameAxis(const json& iFirst, const json& iSecond, double iTolerance) {
  double dot = 0;
  for (int k = 0; k < 3; ++k) dot += iFirst[k].get<double>() * iSecond[k].get<double>();
  EXPECT_NEAR(std::fabs(dot), 1.0, iTolerance) << iFirst << " and " << iSecond;
}

TEST(DescribeCommand, BlockAssemblyHasItsAnalyticDescriptorsAsStepAndAsGltf) {
  const json step = Describe(Sample("blocks.step"));
  EXPECT_EQ(step["triangles"], 36);  // three boxes of twelve
  ExpectTriple(step["boundingBox"]["min"], 0, 0, 0, 0);
  ExpectTriple(step["boundingBox"]["max"], 100, 60, 40, 0);
  ExpectTriple(step["boundingBox"]["size"], 100, 60, 40, 0);
  ExpectTriple(step["boundingCube"]["min"], 0, -20, -30, 0);
  ExpectTriple(step["boundingCube"]["size"], 100, 100, 100, 0);
  // Each box's centre weighed by its area: the plate's 15200, each block's 2200.
  ExpectTriple(step["barycenter"]["point"], 991000.0 / 19600, 577000.0 / 19600, 186000.0 / 19600, 1e-4);
  EXPECT_EQ(step["barycenter"]["matrix"][0][0], 1);
  EXPECT_NEAR(step["barycenter"]["matrix"][0][3].get<double>(), -991000.0 / 19600, 1e-4);
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(step["symmetries"][plane], false) << plane;
  EXPECT_EQ(step["cuboid"], json({{"isCuboid", false}}));

  // An asymmetric assembly has well-defined axes: the glTF file gives the same report.
  ExpectSameNumbers(Describe(Sample("blocks.glb")), step, 1e-5, "blocks.glb");
}

TEST(DescribeCommand, TurnedBrickIsRecognisedWithItsFrameAndDimensions) {
  const json brick = Describe(Sample("brick.obj"));
  // Half extents of a 40 x 20 x 10 box turned by 30 degrees about z, centred on (5, 5, 5).
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  ExpectTriple(brick["boundingBox"]["min"], 5 - 20 * c - 10 * s, 5 - 20 * s - 10 * c, 0, 1e-5);
  ExpectTriple(brick["boundingBox"]["max"], 5 + 20 * c + 10 * s, 5 + 20 * s + 10 * c, 10, 1e-5);
  ExpectTriple(brick["barycenter"]["point"], 5, 5, 5, 1e-5);
  EXPECT_NEAR(brick["norm"]["value"].get<double>(), std::sqrt(20 * 20 + 10 * 10 + 5 * 5), 1e-5);

  const json& cuboid = brick["cuboid"];
  ASSERT_EQ(cuboid["isCuboid"], true);
  ExpectTriple(cuboid["dimensions"], 40, 20, 10, 1e-5);
  const json& frame = cuboid["frame"];  // columns: the edge directions, then the centre
  for (int row = 0; row < 3; ++row) {
    const double expected[3][4] = {{c, -s, 0, 5}, {s, c, 0, 5}, {0, 0, 1, 5}};
    for (int col = 0; col < 4; ++col) EXPECT_NEAR(frame[row][col].get<double>(), expected[row][col], 1e-6);
  }
  // The longest edge carries the largest second moment.
  ExpectSameAxis(brick["principalAxes"]["axes"][0], json({c, s, 0}), 1e-6);
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(brick["symmetries"][plane], true) << plane;
}

TEST(DescribeCommand, OpenBoxAndSingleFaceAreNoCuboids) {
  TemporaryDirectory directory;
  const std::string corners = "v 0 0 5\nv 4 0 5\nv 0 2 5\nv 4 2 5\nv 0 0 8\nv 4 0 8\nv 0 2 8\nv 4 2 8\n";
  const std::string openBox = directory.Write(
      "open.obj",
      corners + "f 1 3 4\nf 1 4 2\nf 1 2 6\nf 1 6 5\nf 3 7 8\nf 3 8 4\nf 1 5 7\nf 1 7 3\nf 2 4 8\nf 2 8 6\n");
  const std::string face = directory.Write("face.obj", corners + "f 1 2 4\nf 1 4 3\n");
  for (const std::string& path : {openBox, face})
    EXPECT_EQ(Describe(path)["cuboid"], json({{"isCuboid", false}})) << path;
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
  // Sums of 256 single-precision terms: a few units in the sixth digit.
  ExpectTriple(mesh["barycenter"]["point"], 0, 0, 10, 1e-4);
  EXPECT_NEAR(mesh["norm"]["value"].get<double>(), std::sqrt(5 * 5 + 10 * 10), 1e-4);
  ExpectSameAxis(mesh["principalAxes"]["axes"][0], json({0, 0, 1}), 1e-6);
  for (const char* plane : {"x", "y", "z"}) EXPECT_EQ(mesh["symmetries"][plane], true) << plane;
  EXPECT_EQ(mesh["cuboid"]["isCuboid"], false);

  for (const char* name : {"peg.obj", "peg.glb"}) {
    SCOPED_TRACE(name);
    const json other = Describe(Sample(name));
    ExpectSameNumbers(WithoutArbitraryAxes(other), WithoutArbitraryAxes(mesh), 1e-5, name);
    ExpectSameAxis(other["principalAxes"]["axes"][0], mesh["principalAxes"]["axes"][0], 1e-6);
  }
  // A chord of a 64-sector circle of radius 5 is 0.006 from the arc, and the CAD reader's
  // default deflection is a thousandth of the 24.5 diagonal: relative to the peg's size, a
  // few thousandths.
  const double tessellationTolerance = 0.005;
  for (const char* name : {"peg.step", "peg.igs", "peg.brep"}) {
    SCOPED_TRACE(name);
    json cad = Describe(Sample(name));
    EXPECT_GT(cad["triangles"].get<int>(), 100);
    cad["triangles"] = mesh["triangles"];
    ExpectSameNumbers(WithoutArbitraryAxes(cad), WithoutArbitraryAxes(mesh), tessellationTolerance, name);
    ExpectSameAxis(cad["principalAxes"]["axes"][0], mesh["principalAxes"]["axes"][0], 1e-6);
  }
}

TEST(DescribeCommand, FinerDeflectionBringsTheCadPegCloserToTheCylinder) {
  const json fine = Describe(Sample("peg.step"), {"--deflection", "0.0005"});
  ExpectTriple(fine["boundingBox"]["min"], -5, -5, 0, 0.0005);
  ExpectTriple(fine["boundingBox"]["max"], 5, 5, 20, 0.0005);
  const json coarse = Describe(Sample("peg.step"), {"--relative-deflection", "0.01"});
  EXPECT_LT(coarse["triangles"].get<int>(), fine["triangles"].get<int>());
}

TEST(DescribeCommand, BadFilesGetOneLineErrorsAndAFailureStatusWithoutStoppingTheBatch) {
  TemporaryDirectory directory;
  const std::string peg = FileContents(Sample("peg.stl"));
  const std::string step = FileContents(Sample("blocks.step"));
  const std::vector<std::pair<std::string, std::string>> bad = {
      {directory.Path("missing.stl"), "no such file"},
      {directory.Write("empty.obj", ""), "empty file"},
      {directory.Write("notes.xyz1", "a shopping list\n"), "unknown format"},
      {directory.Write("cut.stl", peg.substr(0, peg.size() / 2)), "STL"},
      {directory.Write("cut.step", step.substr(0, step.size() / 2)), "not a readable STEP file"},
      {directory.Write("index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"), "index out of range"},
      {directory.Write("index.ply",
                       "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                       "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                       "end_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 9\n"),
       "mesh 0: face 0 refers to vertex 9 of 3"},
      {directory.Write("nan.obj", "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n"), "non-finite coordinate"},
      {directory.Write("huge.obj", "v 0 0 0\nv 1e39 0 0\nv 0 1 0\nf 1 2 3\n"), "non-finite coordinate"},
      {directory.Write("points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n"), "no triangle to describe"},
      {directory.Write("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n"), "no triangle to describe"},
  };
  for (const auto& [path, reason] : bad) {
    SCOPED_TRACE(path);
    const CommandResult result = RunCommand(geosig, {"describe", path});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    const std::string prefix = "geosig: " + path + ": ";
    EXPECT_EQ(result.err.rfind(prefix, 0), 0u) << result.err;
    EXPECT_NE(result.err.find(reason, prefix.size()), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }

  const CommandResult batch = RunCommand(geosig, {"describe", bad[0].first, Sample("brick.obj"), bad[2].first});
  EXPECT_EQ(batch.exitStatus, 1);
  EXPECT_EQ(batch.out.rfind(Sample("brick.obj") + " (OBJ)\n", 0), 0u) << batch.out;
  EXPECT_EQ(std::count(batch.err.begin(), batch.err.end(), '\n'), 2) << batch.err;
}

TEST(DescribeCommand, JsonReportListsFailuresBesideResults) {
  const CommandResult result = RunCommand(geosig, {"describe", "--json", Sample("brick.obj"), "/nonexistent.stl"});
  EXPECT_EQ(result.exitStatus, 1);
  const json report = json::parse(result.out);
  EXPECT_EQ(report["schema"], "geosig-describe");
  EXPECT_EQ(report["version"], 1);
  ASSERT_EQ(report["files"].size(), 2u);
  EXPECT_EQ(report["files"][0]["file"], Sample("brick.obj"));
  EXPECT_EQ(report["files"][0]["format"], "OBJ");
  EXPECT_EQ(report["files"][1], json({{"file", "/nonexistent.stl"}, {"error", "no such file"}}));
}

TEST(DescribeCommand, TextReportShowsEachSectionReadably) {
  const CommandResult result = RunCommand(geosig, {"describe", Sample("blocks.step")});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find("  triangles"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  bounding box    min   (0, 0, 0)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("                  max   (100, 60, 40)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  barycenter      point   (50.561226, 29.438776, 9.489796)\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  cuboid          isCuboid  false\n"), std::string::npos) << result.out;
}

TEST(DescribeCommand, EveryCommandHasHelpAndBadOptionsAreRefused) {
  const CommandResult top = RunCommand(geosig, {"--help"});
  EXPECT_EQ(top.exitStatus, 0);
  EXPECT_NE(top.out.find("describe"), std::string::npos);
  const CommandResult describe = RunCommand(geosig, {"describe", "--help"});
  EXPECT_EQ(describe.exitStatus, 0);
  for (const char* option : {"--json", "--deflection", "--relative-deflection", "--angular-deflection"})
    EXPECT_NE(describe.out.find(option), std::string::npos) << option;

  EXPECT_NE(RunCommand(geosig, {}).exitStatus, 0);
  EXPECT_NE(RunCommand(geosig, {"describe"}).exitStatus, 0);
  EXPECT_NE(RunCommand(geosig, {"describe", "--deflection", "-1", Sample("peg.step")}).exitStatus, 0);
  EXPECT_NE(RunCommand(geosig, {"describe", "--deflection", "0.1", "--relative-deflection", "0.1", Sample("peg.step")})
                .exitStatus,
            0);
}

}  // namespace
