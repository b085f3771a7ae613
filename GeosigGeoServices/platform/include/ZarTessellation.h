#pragma once
// A tessellation as a face primitive is built from: vertices and three kinds of topology,
// all indices being vertex numbers.
#include <cstddef>
#include <string>
#include <vector>

struct ZarTessellation {
  std::vector<float> vertices;            // x, y, z of each vertex
  std::vector<unsigned int> triangles;    // three vertex numbers per triangle
  std::vector<unsigned int> stripCounts;  // vertices of each strip
  std::vector<unsigned int> strips;       // the indices of all strips, one after the other
  std::vector<unsigned int> fanCounts;    // vertices of each fan
  std::vector<unsigned int> fans;         // the indices of all fans, one after the other

  std::size_t VertexCount() const { return vertices.size() / 3; }
  // Empty when the tessellation is consistent, else the reason it is not: every index in
  // range, index arrays as long as their counts say, no non-finite coordinate, no fan of
  // fewer than 2 vertices and no strip of 1.
  std::string Check() const;
};
