#include "MappedGraph.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <queue>
#include <stdexcept>

namespace {

// The header hnswlib writes before the bottom layer, field by field.
struct Header {
  std::size_t bottomOffset, capacity, count, bytesPerPoint, labelOffset, dataOffset;
  int topLevel;
  std::uint32_t entry;
  std::size_t upperLinks, bottomLinks, links;
  double levelFactor;
  std::size_t constructionBreadth;
};

template <class Field>
void ReadField(const char*& ioBytes, Field& oField) {
  std::memcpy(&oField, ioBytes, sizeof oField);
  ioBytes += sizeof oField;
}

constexpr std::size_t HeaderSize = 6 * sizeof(std::size_t) + sizeof(int) + sizeof(std::uint32_t) +
                                   3 * sizeof(std::size_t) + sizeof(double) + sizeof(std::size_t);

Header ReadHeader(const char* iBytes) {
  Header header;
  for (std::size_t* field : {&header.bottomOffset, &header.capacity, &header.count, &header.bytesPerPoint,
                             &header.labelOffset, &header.dataOffset})
    ReadField(iBytes, *field);
  ReadField(iBytes, header.topLevel);
  ReadField(iBytes, header.entry);
  for (std::size_t* field : {&header.upperLinks, &header.bottomLinks, &header.links}) ReadField(iBytes, *field);
  ReadField(iBytes, header.levelFactor);
  ReadField(iBytes, header.constructionBreadth);
  return header;
}

// Reads exactly iSize bytes at iOffset.
void ReadAt(int iFile, char* oBytes, std::size_t iSize, std::size_t iOffset) {
  while (iSize > 0) {
    const ssize_t read = ::pread(iFile, oBytes, iSize, static_cast<off_t>(iOffset));
    if (read <= 0) throw std::runtime_error("it is cut short");
    oBytes += read, iOffset += static_cast<std::size_t>(read), iSize -= static_cast<std::size_t>(read);
  }
}

// hnswlib's order for its queues: by distance alone.
struct ByDistance {
  bool operator()(const std::pair<float, std::uint32_t>& iA, const std::pair<float, std::uint32_t>& iB) const {
    return iA.first < iB.first;
  }
};
using Queue =
    std::priority_queue<std::pair<float, std::uint32_t>, std::vector<std::pair<float, std::uint32_t>>, ByDistance>;

constexpr unsigned char DeletedMark = 0x01;  // hnswlib's, in the third byte of a point's bottom links
constexpr std::size_t LeastBreadth = 10;     // hnswlib's ef when it is not set

}  // namespace

MappedGraph::MappedGraph(const std::string& iPath, std::size_t iDimension) : _dimension(iDimension) {
  const int file = ::open(iPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) throw std::runtime_error(iPath + ": cannot be opened");
  try {
    struct stat status;
    if (::fstat(file, &status) != 0 || static_cast<std::size_t>(status.st_size) < HeaderSize)
      throw std::runtime_error("it is no graph");
    const std::size_t fileSize = static_cast<std::size_t>(status.st_size);
    char headerBytes[HeaderSize];
    ReadAt(file, headerBytes, HeaderSize, 0);
    const Header header = ReadHeader(headerBytes);
    _layout.count = header.count;
    _layout.bytesPerPoint = header.bytesPerPoint;
    _layout.labelOffset = header.labelOffset;
    _layout.dataOffset = header.dataOffset;
    _layout.topLevel = header.topLevel;
    _layout.entry = header.entry;
    _layout.upperLinksSize = header.upperLinks * sizeof(Node) + sizeof(std::uint32_t);
    const std::size_t bottomLinksSize = header.bottomLinks * sizeof(Node) + sizeof(std::uint32_t);
    if (header.bottomOffset != 0 || header.dataOffset != bottomLinksSize ||
        header.labelOffset != header.dataOffset + iDimension * sizeof(float) ||
        header.bytesPerPoint != header.labelOffset + sizeof(std::uint64_t) || header.topLevel < 0 ||
        header.upperLinks > 0xffff || header.bottomLinks > 0xffff)
      throw std::runtime_error("it is no graph of points of " + std::to_string(iDimension) + " numbers");
    if (header.count > (fileSize - HeaderSize) / header.bytesPerPoint || header.count > 0xffffffffu)
      throw std::runtime_error("it is cut short");
    if (header.count > 0 && header.entry >= header.count) throw std::runtime_error("its entry point is out of it");

    _mapped = HeaderSize + header.count * header.bytesPerPoint;
    _mapping = ::mmap(nullptr, _mapped, PROT_READ, MAP_SHARED, file, 0);
    if (_mapping == MAP_FAILED) {
      _mapping = nullptr;
      throw std::runtime_error("it cannot be mapped");
    }
    _bottom = static_cast<const char*>(_mapping) + HeaderSize;

    // The upper layers: for each point the size of its links above the bottom, then those links.
    _upper.resize(fileSize - _mapped);
    ReadAt(file, _upper.data(), _upper.size(), _mapped);
    std::size_t offset = 0;
    for (Node node = 0; node < header.count; ++node) {
      std::uint32_t size = 0;
      if (offset + sizeof size > _upper.size()) throw std::runtime_error("it is cut short");
      std::memcpy(&size, _upper.data() + offset, sizeof size);
      offset += sizeof size;
      if (size == 0) continue;
      if (size % _layout.upperLinksSize != 0 || offset + size > _upper.size())
        throw std::runtime_error("its upper layers are damaged");
      _up.emplace(node, std::make_pair(offset, static_cast<int>(size / _layout.upperLinksSize)));
      offset += size;
    }
    if (offset != _upper.size()) throw std::runtime_error("it has bytes after its last layer");
  } catch (const std::runtime_error& failure) {
    ::close(file);
    if (_mapping) ::munmap(_mapping, _mapped);
    throw std::runtime_error(iPath + ": " + failure.what());
  }
  ::close(file);
}

MappedGraph::~MappedGraph() {
  if (_mapping) ::munmap(_mapping, _mapped);
}

const float* MappedGraph::PointOf(Node iNode) const {
  return reinterpret_cast<const float*>(_bottom + iNode * _layout.bytesPerPoint + _layout.dataOffset);
}

const std::uint32_t* MappedGraph::LinksOf(Node iNode, int iLevel) const {
  if (iLevel == 0) return reinterpret_cast<const std::uint32_t*>(_bottom + iNode * _layout.bytesPerPoint);
  const auto found = _up.find(iNode);
  if (found == _up.end() || found->second.second < iLevel)
    throw std::runtime_error("the search graph links a point to a layer it is not on");
  return reinterpret_cast<const std::uint32_t*>(_upper.data() + found->second.first +
                                                (iLevel - 1) * _layout.upperLinksSize);
}

float MappedGraph::Distance(const float* iPoint, Node iNode) const {
  if (iNode >= _layout.count) throw std::runtime_error("the search graph links to a point out of it");
  // The sum in hnswlib's order, so that ties fall as they fall in the loaded graph.
  const float* point = PointOf(iNode);
  float sum = 0.0f;
  for (std::size_t k = 0; k < _dimension; ++k) {
    const float difference = iPoint[k] - point[k];
    sum += difference * difference;
  }
  return sum;
}

MappedGraph::Node MappedGraph::Descend(const float* iPoint) const {
  Node node = _layout.entry;
  float distance = Distance(iPoint, node);
  for (int level = _layout.topLevel; level > 0; --level)
    for (bool moved = true; moved;) {
      moved = false;
      const std::uint32_t* links = LinksOf(node, level);
      const std::uint16_t count = static_cast<std::uint16_t>(links[0]);
      for (std::uint16_t k = 1; k <= count; ++k)
        if (const float next = Distance(iPoint, links[k]); next < distance)
          distance = next, node = links[k], moved = true;
    }
  return node;
}

void MappedGraph::Search(const float* iPoint, std::size_t iCount,
                         std::vector<std::pair<float, std::uint64_t>>& ioFound) const {
  if (_layout.count == 0 || iCount == 0) return;
  const std::size_t breadth = std::max(LeastBreadth, iCount);
  const auto deleted = [&](Node iNode) {
    return (reinterpret_cast<const unsigned char*>(LinksOf(iNode, 0))[2] & DeletedMark) != 0;
  };
  std::vector<bool> visited(_layout.count, false);
  Queue nearest, frontier;  // the best iCount found (farthest on top); the nodes to expand (nearest on top)
  const Node start = Descend(iPoint);
  float bound = std::numeric_limits<float>::max();
  if (!deleted(start)) {
    bound = Distance(iPoint, start);
    nearest.emplace(bound, start);
  }
  frontier.emplace(-bound, start);
  visited[start] = true;
  while (!frontier.empty()) {
    const auto [negated, node] = frontier.top();
    if (-negated > bound && nearest.size() == breadth) break;
    frontier.pop();
    const std::uint32_t* links = LinksOf(node, 0);
    const std::uint16_t count = static_cast<std::uint16_t>(links[0]);
    for (std::uint16_t k = 1; k <= count; ++k) {
      const Node next = links[k];
      if (next >= _layout.count) throw std::runtime_error("the search graph links to a point out of it");
      if (visited[next]) continue;
      visited[next] = true;
      const float distance = Distance(iPoint, next);
      if (nearest.size() < breadth || distance < bound) {
        frontier.emplace(-distance, next);
        if (!deleted(next)) nearest.emplace(distance, next);
        if (nearest.size() > breadth) nearest.pop();
        if (!nearest.empty()) bound = nearest.top().first;
      }
    }
  }
  while (nearest.size() > iCount) nearest.pop();
  for (; !nearest.empty(); nearest.pop()) {
    std::uint64_t label;
    std::memcpy(&label, _bottom + nearest.top().second * _layout.bytesPerPoint + _layout.labelOffset, sizeof label);
    ioFound.emplace_back(nearest.top().first, label);
  }
}
