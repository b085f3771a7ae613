#include "NearestMatches.h"

#include <algorithm>
#include <limits>

namespace {

bool Nearer(const SignatureMatch& iA, const SignatureMatch& iB) {
  return iA.distance.combined != iB.distance.combined ? iA.distance.combined < iB.distance.combined : iA.id < iB.id;
}

}  // namespace

double NearestMatches::Limit() const {
  if (_count == 0) return -std::numeric_limits<double>::infinity();
  return Full() ? _heap.front().distance.combined : std::numeric_limits<double>::infinity();
}

void NearestMatches::Offer(const SignatureMatch& iMatch) {
  if (!Full()) {
    _heap.push_back(iMatch);
    std::push_heap(_heap.begin(), _heap.end(), Nearer);
  } else if (_count > 0 && Nearer(iMatch, _heap.front())) {
    std::pop_heap(_heap.begin(), _heap.end(), Nearer);
    _heap.back() = iMatch;
    std::push_heap(_heap.begin(), _heap.end(), Nearer);
  }
}

std::vector<SignatureMatch> NearestMatches::Take() {
  std::sort_heap(_heap.begin(), _heap.end(), Nearer);
  return std::move(_heap);
}
