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

TEST(DescribeCommand, BlockAssemblyHasItsAnalyticDescriptorsAsStepAndAsGltf) {
  for (const char* name : {"blocks.step", "blocks.glb"}) {
    SCOPED_TRACE(name);
    const json descriptors = Describe(Sample(name));
    EXPECT_EQ(descriptors["triangles"], 36);  // three boxes of twelve
    ExpectTriple(descriptors["boundingBox"]["min"], 0, 0, 0, 0);
    ExpectTriple(descriptors["boundingBox"]["max"], 100, 60, 40, 0);
    ExpectTriple(descriptors["boundingBox"]["size"], 100, 60, 40, 0);
    ExpectTriple(descriptors["boundingCube"]["min"], 0, -20, -30, 0);
    ExpectTriple(descriptors["boundingCube"]["size"], 100, 100, 100, 0);
  }
}

TEST(DescribeCommand, RotatedBrickHasItsAnalyticBox) {
  const json box = Describe(Sample("brick.obj"))["boundingBox"];
  // Half extents of a 40 x 20 x 10 box turned by 30 degrees about z, centred on (5, 5, 5).
  const double halfX = 20 * std::cos(M_PI / 6) + 10 * std::sin(M_PI / 6);
  const double halfY = 20 * std::sin(M_PI / 6) + 10 * std::cos(M_PI / 6);
  ExpectTriple(box["min"], 5 - halfX, 5 - halfY, 0, 1e-5);
  ExpectTriple(box["max"], 5 + halfX, 5 + halfY, 10, 1e-5);
}

TEST(DescribeCommand, PegHasTheSameDescriptorsInEveryFormat) {
  // The meshes are a 64-sector tessellation of the cylinder of radius 5 and height 20, the
  // glTF one placed by its node's transformation; the CAD files are tessellated on reading.
  const json mesh = Describe(Sample("peg.stl"));
  EXPECT_EQ(mesh["triangles"], 256);
  ExpectTriple(mesh["boundingBox"]["min"], -5, -5, 0, 0);
  ExpectTriple(mesh["boundingBox"]["max"], 5, 5, 20, 0);
  for (const char* name : {"peg.obj", "peg.glb"}) {
    SCOPED_TRACE(name);
    ExpectSameNumbers(Describe(Sample(name)), mesh, 1e-5, name);
  }
  // A chord of a 64-sector circle of radius 5 is 0.006 from the arc, and the CAD reader's
  // default deflection is a thousandth of the 24.5 diagonal.
  const double tessellationTolerance = 0.006 + 0.0245;
  for (const char* name : {"peg.step", "peg.igs", "peg.brep"}) {
    SCOPED_TRACE(name);
    json cad = Describe(Sample(name));
    EXPECT_GT(cad["triangles"].get<int>(), 100);
    cad["triangles"] = mesh["triangles"];
    ExpectSameNumbers(cad, mesh, tessellationTolerance, name);
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
      {directory.Write("index.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
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
  EXPECT_NE(result.out.find("  bounding box   min   (0, 0, 0)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("                 max   (100, 60, 40)\n"), std::string::npos) << result.out;
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
  EXPECT_NE(RunCommand(geosig, {"describe", "--deflection", "0.1", "--relative-deflection", "0.1",
                                Sample("peg.step")}).exitStatus, 0);
}

}  // namespace
