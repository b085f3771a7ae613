#pragma once
// A graph saved by hnswlib, searched where it lies on disk: its bottom layer (the points, their
// labels and most of the links) is mapped, not read, so a process that asks one question pays
// for the pages its walk touches instead of loading the whole graph; only the small upper
// layers are read. The walk is hnswlib's own (a greedy descent through the upper layers, then a
// beam as wide as the count asked for on the bottom one, passing over deleted points), so it
// finds what the loaded graph finds. Searches may run from many threads at once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class MappedGraph {
 public:
  // Throws std::runtime_error when the file cannot be mapped or is not a graph of points of
  // iDimension floats.
  MappedGraph(const std::string& iPath, std::size_t iDimension);
  ~MappedGraph();
  MappedGraph(const MappedGraph&) = delete;
  MappedGraph& operator=(const MappedGraph&) = delete;

  // The iCount live points nearest to iPoint (iDimension floats), as (squared distance, label)
  // appended to ioFound in no order. Throws std::runtime_error for a link out of the graph.
  void Search(const float* iPoint, std::size_t iCount, std::vector<std::pair<float, std::uint64_t>>& ioFound) const;

 private:
  using Node = std::uint32_t;
  struct Layout {
    std::size_t count = 0, bytesPerPoint = 0, labelOffset = 0, dataOffset = 0, upperLinksSize = 0;
    int topLevel = 0;
    Node entry = 0;
  };

  const float* PointOf(Node iNode) const;
  // A node's links on a layer: their count, then the nodes.
  const std::uint32_t* LinksOf(Node iNode, int iLevel) const;
  float Distance(const float* iPoint, Node iNode) const;
  Node Descend(const float* iPoint) const;

  std::size_t _dimension;
  Layout _layout;
  const char* _bottom = nullptr;  // the mapped bottom layer
  std::size_t _mapped = 0;
  void* _mapping = nullptr;
  std::vector<char> _upper;                                   // the upper layers' links
  std::unordered_map<Node, std::pair<std::size_t, int>> _up;  // node: offset of its upper links, their levels
};
