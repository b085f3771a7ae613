#pragma once
// A visualization face: the topology of a face as a packed tessellation record
// (ZarTessellationRecord), read in place against the current vertex buffer.
#include <cstdint>
#include <vector>

class ZarViz3DFace {
 public:
  ZarViz3DFace() = default;
  explicit ZarViz3DFace(std::vector<std::uint8_t> iRecord) : _record(std::move(iRecord)) {}

  // Null when the face describes nothing.
  const std::uint8_t* GetRecord() const { return _record.empty() ? nullptr : _record.data(); }
  std::size_t GetRecordSize() const { return _record.size(); }

 private:
  std::vector<std::uint8_t> _record;
};
