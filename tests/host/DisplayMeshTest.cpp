// Simplifying for display: within the budget nothing changes; above it the result keeps to the budget, uses
// every vertex it keeps, and still covers the model's extent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DisplayMesh.h"

namespace {

// A closed sphere of latitude and longitude bands, 2 * n * (n - 1) triangles.
ZarTessellation Sphere(unsigned int n) {
  ZarTessellation mesh;
  for (unsigned int i = 0; i <= n; ++i)
    for (unsigned int j = 0; j < n; ++j) {
      const double polar = M_PI * i / n, azimuth = 2 * M_PI * j / n;
      mesh.vertices.insert(mesh.vertices.end(), {static_cast<float>(std::sin(polar) * std::cos(azimuth)),
                                                 static_cast<float>(std::sin(polar) * std::sin(azimuth)),
                                                 static_cast<float>(std::cos(polar))});
    }
  for (unsigned int i = 0; i < n; ++i)
    for (unsigned int j = 0; j < n; ++j) {
      const unsigned int a = i * n + j, b = i * n + (j + 1) % n, c = a + n, d = b + n;
      if (i > 0) mesh.triangles.insert(mesh.triangles.end(), {a, b, d});
      if (i + 1 < n) mesh.triangles.insert(mesh.triangles.end(), {a, d, c});
    }
  return mesh;
}

// Triangles that share no vertex: edge collapses cannot reduce them.
ZarTessellation Soup(unsigned int iTriangles) {
  ZarTessellation mesh;
  for (unsigned int k = 0; k < iTriangles; ++k) {
    const float x = static_cast<float>(k % 100), y = static_cast<float>(k / 100);
    mesh.vertices.insert(mesh.vertices.end(), {x, y, 0, x + 0.5f, y, 0, x, y + 0.5f, 0.1f});
    mesh.triangles.insert(mesh.triangles.end(), {3 * k, 3 * k + 1, 3 * k + 2});
  }
  return mesh;
}

void ExpectValidWithin(const ZarTessellation& iMesh, std::size_t iBudget) {
  EXPECT_GT(iMesh.triangles.size(), 0u);
  EXPECT_LE(iMesh.triangles.size(), 3 * iBudget);
  EXPECT_EQ(iMesh.Check(), "");
  std::vector<bool> used(iMesh.VertexCount(), false);
  for (const unsigned int index : iMesh.triangles) used.at(index) = true;
  EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool iUsed) { return iUsed; }));
}

float Extent(const ZarTessellation& iMesh, std::size_t iAxis) {
  float low = INFINITY, high = -INFINITY;
  for (std::size_t k = iAxis; k < iMesh.vertices.size(); k += 3) {
    low = std::min(low, iMesh.vertices[k]);
    high = std::max(high, iMesh.vertices[k]);
  }
  return high - low;
}

TEST(DisplayMesh, WithinTheBudgetTheTrianglesStayAsTheyAre) {
  const ZarTessellation sphere = Sphere(20);
  for (const std::size_t budget : {sphere.triangles.size() / 3, sphere.triangles.size()}) {
    const ZarTessellation kept = DisplayMesh::Reduce(sphere, budget);
    EXPECT_EQ(kept.vertices, sphere.vertices);
    EXPECT_EQ(kept.triangles, sphere.triangles);
  }
}

TEST(DisplayMesh, AboveTheBudgetAConnectedSurfaceKeepsItsExtent) {
  const ZarTessellation sphere = Sphere(120);  // 28,560 triangles
  const ZarTessellation reduced = DisplayMesh::Reduce(sphere, 1000);
  ExpectValidWithin(reduced, 1000);
  EXPECT_GT(reduced.triangles.size(), 3u * 500);  // not thrown away wholesale
  for (std::size_t axis = 0; axis < 3; ++axis) EXPECT_NEAR(Extent(reduced, axis), Extent(sphere, axis), 0.1);
}

TEST(DisplayMesh, TrianglesSharingNoVertexStillComeWithinTheBudget) {
  ExpectValidWithin(DisplayMesh::Reduce(Soup(5000), 800), 800);
}

}  // namespace
