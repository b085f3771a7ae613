// End-to-end tests of `geosig nearest`: the vertex nearest to a line, against a brute force.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <sstream>

#include "ReportChecks.h"

namespace {

using nlohmann::json;
using Vector = std::array<double, 3>;

json Nearest(const std::string& iPath, const std::string& iOrigin, const std::string& iDirection) {
  return FirstFileReport({"nearest", iPath, "--line", iOrigin, iDirection});
}

double DistanceToLine(const Vector& iPoint, const Vector& iOrigin, const Vector& iUnit) {
  const Vector d = {iPoint[0] - iOrigin[0], iPoint[1] - iOrigin[1], iPoint[2] - iOrigin[2]};
  const double along = d[0] * iUnit[0] + d[1] * iUnit[1] + d[2] * iUnit[2];
  return std::sqrt(std::max(0.0, d[0] * d[0] + d[1] * d[1] + d[2] * d[2] - along * along));
}

TEST(NearestCommand, FindsTheVertexThatABruteForceFindsOnTheMeshPeg) {
  const Vector origin = {1, 2, 3}, unit = {0.3 / std::sqrt(1.34), -1 / std::sqrt(1.34), 0.5 / std::sqrt(1.34)};
  double best = std::numeric_limits<double>::max();
  std::istringstream obj(FileContents(Sample("peg.obj")));
  for (std::string line; std::getline(obj, line);) {
    std::istringstream words(line);
    std::string tag;
    Vector v;
    if (words >> tag && tag == "v" && words >> v[0] >> v[1] >> v[2])
      best = std::min(best, DistanceToLine(v, origin, unit));
  }
  const json found = Nearest(Sample("peg.obj"), "1,2,3", "0.3,-1,0.5");
  const Vector nearest = found["nearestVertex"].get<Vector>(), onLine = found["pointOnLine"].get<Vector>();
  EXPECT_NEAR(found["distance"].get<double>(), best, 1e-9);
  EXPECT_NEAR(DistanceToLine(nearest, origin, unit), best, 1e-9);
  // The projection lies on the line, at the reported distance from the vertex.
  EXPECT_NEAR(DistanceToLine(onLine, origin, unit), 0.0, 1e-5);
  EXPECT_NEAR(std::hypot(nearest[0] - onLine[0], nearest[1] - onLine[1], nearest[2] - onLine[2]), best, 1e-5);
  ExpectTriple(found["line"]["direction"], unit[0], unit[1], unit[2], 1e-15);
}

TEST(NearestCommand, LineThroughTheMiddleOfFacesReportsANearestCornerNotACrossing) {
  // Up through the middle of the plate of the assembly: the nearest vertex is the corner
  // (30, 20) of the first block, although the line crosses two faces of the plate.
  const json found = Nearest(Sample("blocks.step"), "50,30,0", "0,0,1");
  EXPECT_NEAR(found["distance"].get<double>(), std::sqrt(500.0), 1e-5);
  const Vector nearest = found["nearestVertex"].get<Vector>();
  EXPECT_NEAR(nearest[0], 30, 1e-5);
  EXPECT_NEAR(nearest[1], 20, 1e-5);
  // A direction of any length, however small, is the same line.
  EXPECT_EQ(Nearest(Sample("blocks.step"), "50,30,0", "0,0,-1e-310")["nearestVertex"], found["nearestVertex"]);

  const CommandResult text = RunCommand(geosig, {"nearest", Sample("peg.stl"), "--line", "10,0,-3", "0,0,-2"});
  EXPECT_EQ(text.exitStatus, 0) << text.err;
  for (const char* line : {"  nearest vertex  (5, 0, ", "  point on line   (10, 0, ", "  distance        5\n"})
    EXPECT_NE(text.out.find(line), std::string::npos) << text.out;
}

TEST(NearestCommand, LinesWithoutADirectionAndBadFilesAreRefused) {
  for (const auto& [origin, direction] : std::vector<std::pair<std::string, std::string>>{
           {"0,0,0", "0,0,0"}, {"0,0,0", "1e400,0,0"}, {"nan,0,0", "1,0,0"}, {"0,0", "1,0,0"}, {"0,0,0", "1,0,0,"}}) {
    const CommandResult result = RunCommand(geosig, {"nearest", Sample("peg.stl"), "--line", origin, direction});
    EXPECT_EQ(result.exitStatus, 2) << origin << ' ' << direction;
    EXPECT_EQ(result.err.rfind("--line: ", 0), 0u) << result.err;
  }
  ExpectFileFailure(RunCommand(geosig, {"nearest", "/nonexistent.obj", "--line", "0,0,0", "1,0,0"}), "/nonexistent.obj",
                    "no such file");
  // Finite lines whose distance, or point on the line in single precision, overflows.
  for (const char* origin : {"1e308,1e308,0", "1e300,0,0"})
    ExpectFileFailure(RunCommand(geosig, {"nearest", Sample("peg.stl"), "--line", origin, "0,0,1"}), Sample("peg.stl"),
                      "the line is too far from the model");
}

}  // namespace
