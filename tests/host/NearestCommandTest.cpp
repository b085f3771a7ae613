// End-to-end tests of `geosig nearest`: the vertex nearest to a line, against a brute force.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "CommandRunner.h"
#include "ReportChecks.h"

namespace {

using nlohmann::json;

const std::string geosig = GEOSIG_TOOL;
const std::string samples = GEOSIG_SAMPLES_DIR;

json Nearest(const std::string& iPath, const std::string& iOrigin, const std::string& iDirection) {
  const CommandResult result = RunCommand(geosig, {"nearest", "--json", iPath, "--line", iOrigin, iDirection});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  return json::parse(result.out)["files"][0];
}

using Vector = std::array<double, 3>;

double Dot(const Vector& a, const Vector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double DistanceToLine(const Vector& iPoint, const Vector& iOrigin, const Vector& iUnit) {
  const Vector offset = {iPoint[0] - iOrigin[0], iPoint[1] - iOrigin[1], iPoint[2] - iOrigin[2]};
  const double along = Dot(offset, iUnit);
  return std::sqrt(std::max(0.0, Dot(offset, offset) - along * along));
}

TEST(NearestCommand, FindsTheVertexThatABruteForceFindsOnTheMeshPeg) {
  std::vector<Vector> vertices;
  std::istringstream obj(FileContents(samples + "/peg.obj"));
  for (std::string line; std::getline(obj, line);) {
    std::istringstream words(line);
    std::string tag;
    Vector v;
    if (words >> tag && tag == "v" && words >> v[0] >> v[1] >> v[2]) vertices.push_back(v);
  }
  ASSERT_EQ(vertices.size(), 130u);

  const Vector origin = {1, 2, 3}, direction = {0.3, -1, 0.5};
  const double length = std::sqrt(Dot(direction, direction));
  const Vector unit = {direction[0] / length, direction[1] / length, direction[2] / length};
  double best = std::numeric_limits<double>::max();
  for (const Vector& v : vertices) best = std::min(best, DistanceToLine(v, origin, unit));

  const json found = Nearest(samples + "/peg.obj", "1,2,3", "0.3,-1,0.5");
  const Vector nearest = found["nearestVertex"].get<Vector>();
  EXPECT_NEAR(found["distance"].get<double>(), best, 1e-9);
  EXPECT_NEAR(DistanceToLine(nearest, origin, unit), best, 1e-9);
  // The projection lies on the line, at the reported distance from the vertex.
  const Vector onLine = found["pointOnLine"].get<Vector>();
  EXPECT_NEAR(DistanceToLine(onLine, origin, unit), 0.0, 1e-5);
  const Vector gap = {nearest[0] - onLine[0], nearest[1] - onLine[1], nearest[2] - onLine[2]};
  EXPECT_NEAR(std::sqrt(Dot(gap, gap)), best, 1e-5);
  ExpectTriple(found["line"]["direction"], unit[0], unit[1], unit[2], 1e-15);
}

TEST(NearestCommand, LineThroughTheMiddleOfFacesReportsANearestCornerNotACrossing) {
  // Up through the middle of the plate of the assembly: the nearest vertex is the corner
  // (30, 20) of the first block, although the line crosses two faces of the plate.
  const json found = Nearest(samples + "/blocks.step", "50,30,0", "0,0,1");
  EXPECT_NEAR(found["distance"].get<double>(), std::sqrt(500.0), 1e-5);
  const Vector nearest = found["nearestVertex"].get<Vector>();
  EXPECT_NEAR(nearest[0], 30, 1e-5);
  EXPECT_NEAR(nearest[1], 20, 1e-5);
  ExpectTriple(found["pointOnLine"], 50, 30, nearest[2], 1e-5);
  // A direction of any length, however small, is the same line.
  EXPECT_EQ(Nearest(samples + "/blocks.step", "50,30,0", "0,0,-1e-310")["nearestVertex"], found["nearestVertex"]);
}

TEST(NearestCommand, TextReportNamesTheVertexItsProjectionAndTheDistance) {
  const CommandResult result = RunCommand(geosig, {"nearest", samples + "/peg.stl", "--line", "10,0,-3", "0,0,-2"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find("  nearest vertex  (5, 0, "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  point on line   (10, 0, "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  distance        5\n"), std::string::npos) << result.out;
}

TEST(NearestCommand, LinesWithoutADirectionAndBadFilesAreRefused) {
  const std::string peg = samples + "/peg.stl";
  for (const auto& [origin, direction] : std::vector<std::pair<std::string, std::string>>{
           {"0,0,0", "0,0,0"}, {"0,0,0", "-0,0,0"}, {"0,0,0", "1e400,0,0"}, {"nan,0,0", "1,0,0"},
           {"0,0", "1,0,0"}, {"0,0,0", "1,0,0,"}, {"0;0;0", "1,0,0"}}) {
    SCOPED_TRACE(origin + " " + direction);
    const CommandResult result = RunCommand(geosig, {"nearest", peg, "--line", origin, direction});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("--line: ", 0), 0u) << result.err;
  }
  EXPECT_EQ(RunCommand(geosig, {"nearest", peg, "--line", "0,0,0"}).exitStatus, 2);
  const CommandResult missing = RunCommand(geosig, {"nearest", "/nonexistent.obj", "--line", "0,0,0", "1,0,0"});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.err, "geosig: /nonexistent.obj: no such file\n");
}

}  // namespace
