// End-to-end tests of `geosig view`: the page holds what describe and voxelize report, draws within its
// budget, and bad input leaves no page.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"
#include "ViewerPageData.h"

namespace {

using nlohmann::json;

json ViewedModel(const std::string& iModel, const std::string& iPage, std::vector<std::string> iOptions = {}) {
  iOptions.insert(iOptions.begin(), {"view", iModel, "-o", iPage});
  const CommandResult result = RunCommand(geosig, iOptions);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find(iPage), std::string::npos);
  return ViewerPageData(FileContents(iPage))["models"][0];
}

TEST(ViewCommand, PageHoldsDescribesReportTheWholeMeshAndVoxelizesVoxels) {
  TemporaryDirectory directory;
  const std::string model = Sample("blocks.step");
  const json page = ViewedModel(model, directory.Path("blocks.html"), {"--depth", "4"});
  EXPECT_EQ(page["title"], model);
  EXPECT_EQ(page["descriptors"], FirstFileReport({"describe", model})["descriptors"]);
  EXPECT_EQ(page["report"], RunCommand(geosig, {"describe", model}).out);

  const std::vector<float> positions = DecodedFloats(page["mesh"]["positions"]);
  const std::vector<unsigned int> indices = DecodedIndices(page["mesh"]["indices"]);
  EXPECT_EQ(page["mesh"]["triangles"], page["descriptors"]["triangles"]);
  EXPECT_EQ(page["mesh"]["sourceTriangles"], page["descriptors"]["triangles"]);
  EXPECT_EQ(indices.size(), 3 * page["mesh"]["triangles"].get<std::size_t>());
  EXPECT_LT(*std::max_element(indices.begin(), indices.end()), positions.size() / 3);

  // The cells, placed on the octree's grid, fill the box that voxelize's cubes fill.
  const json voxelized = FirstFileReport({"voxelize", model, "--depth", "4", "-o", directory.Path("blocks.glb")});
  const json& voxels = page["voxels"];
  EXPECT_EQ(voxels["count"], voxelized["voxels"]);
  const std::vector<std::uint16_t> cells = DecodedCells(voxels["cells"]);
  ASSERT_EQ(cells.size(), 3 * voxels["count"].get<std::size_t>());
  const double edge = voxels["edge"];
  for (std::size_t axis = 0; axis < 3; ++axis) {
    std::uint16_t low = UINT16_MAX, high = 0;
    for (std::size_t k = axis; k < cells.size(); k += 3) {
      low = std::min(low, cells[k]);
      high = std::max(high, cells[k]);
    }
    EXPECT_LT(high, 16);
    const double origin = voxels["min"][axis];
    EXPECT_NEAR(origin + low * edge, voxelized["cubesBox"]["min"][axis].get<double>(), edge * 1e-3);
    EXPECT_NEAR(origin + (high + 1) * edge, voxelized["cubesBox"]["max"][axis].get<double>(), edge * 1e-3);
  }
}

TEST(ViewCommand, DrawsWithinTheTriangleBudgetAndDescribesEveryTriangle) {
  TemporaryDirectory directory;
  const json whole = ViewedModel(Sample("peg.stl"), directory.Path("whole.html"));
  const json light = ViewedModel(Sample("peg.stl"), directory.Path("light.html"), {"--display-triangles", "100"});
  EXPECT_LE(light["mesh"]["triangles"].get<int>(), 100);
  EXPECT_GT(light["mesh"]["triangles"].get<int>(), 0);
  EXPECT_EQ(light["mesh"]["sourceTriangles"], whole["mesh"]["triangles"]);
  EXPECT_EQ(light["descriptors"], whole["descriptors"]);
  EXPECT_EQ(whole["voxels"]["depth"], 6);  // the default
}

TEST(ViewCommand, BadInputLeavesNoPageAndTheDefaultPageIsNamedAfterTheFile) {
  TemporaryDirectory directory;
  const std::string page = directory.Write("out.html", "an earlier page");
  const std::string points = directory.Write("points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
  for (const auto& [model, reason] : std::vector<std::pair<std::string, std::string>>{
           {directory.Path("missing.stl"), "no such file"}, {points, "no triangle to describe"}})
    ExpectFileFailure(RunCommand(geosig, {"view", model, "-o", page}), model, reason);
  const std::string unwritable = directory.Path("no/such/dir/out.html");
  ExpectFileFailure(RunCommand(geosig, {"view", Sample("brick.obj"), "-o", unwritable}), unwritable,
                    "cannot be created");
  for (const char* depth : {"0", "9"})
    EXPECT_EQ(RunCommand(geosig, {"view", Sample("brick.obj"), "-o", page, "--depth", depth}).exitStatus, 2) << depth;
  EXPECT_EQ(FileContents(page), "an earlier page");
  auto entries = std::filesystem::directory_iterator(directory.Path(""));
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);  // the earlier page and the points

  const CommandResult named =
      RunCommand("/bin/sh", {"-c", "cd \"$1\" && \"$0\" view \"$2\"", geosig, directory.Path(""), Sample("brick.obj")});
  EXPECT_EQ(named.exitStatus, 0) << named.err;
  EXPECT_FALSE(ViewerPageData(FileContents(directory.Path("brick.obj.html")))["models"].empty());
}

}  // namespace
