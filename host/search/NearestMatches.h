#pragma once
// The iCount nearest of the matches offered to it, nearest first and ties by id, kept as a
// bounded heap: what a search ranks its measured candidates with, and what tells it the
// distance above which a candidate need not be measured in full.
#include <cstddef>
#include <vector>

#include "SimilaritySearch.h"

class NearestMatches {
 public:
  explicit NearestMatches(std::size_t iCount) : _count(iCount) { _heap.reserve(iCount); }

  bool Full() const { return _heap.size() == _count; }
  // The distance above which an offer is not kept: infinity until iCount are held.
  double Limit() const;
  void Offer(const SignatureMatch& iMatch);
  // The matches held, nearest first; leaves none held.
  std::vector<SignatureMatch> Take();

 private:
  std::size_t _count;
  std::vector<SignatureMatch> _heap;  // the farthest first
};
