#pragma once
// The progress line of a batch on a terminal: files done out of the total, the rate and the
// estimated time left, redrawn in place on standard error; a summary when the batch ends.
#include <chrono>
#include <cstddef>

class BatchProgress {
 public:
  // Without iShown (standard error is no terminal) it shows nothing.
  BatchProgress(std::size_t iTotal, bool iShown);

  bool Shown() const { return _shown; }
  void Show(std::size_t iDone, std::size_t iFailed) const;
  // Replaces the progress line with a summary.
  void Finish(std::size_t iDone, std::size_t iFailed) const;

 private:
  double Elapsed() const;

  std::size_t _total;
  bool _shown;
  std::chrono::steady_clock::time_point _start;
};
