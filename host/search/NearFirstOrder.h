#pragma once
// The order in which a run over many parts takes them, shared by several threads: each part
// once, and after a part, the parts it was found near, most recent first. A family of
// near-identical parts is then worked through together, while what was read for it is still
// at hand, however the catalog's order scatters it.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

class NearFirstOrder {
 public:
  explicit NearFirstOrder(const std::vector<std::int64_t>& iIds);

  // The position in iIds of a part not yet taken; called at most once for each.
  std::size_t Take();
  // Parts found near one taken; ids not in iIds are passed over.
  void Found(const std::vector<std::int64_t>& iNear);

 private:
  std::mutex _lock;
  std::unordered_map<std::int64_t, std::size_t> _positions;
  std::vector<bool> _taken;
  std::vector<std::size_t> _next;  // positions found near, the most recent last
  std::size_t _scanned = 0;        // every position below is taken
};
