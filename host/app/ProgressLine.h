#pragma once
// The one progress line of the geosig commands (new commands that read many files use it):
// files done out of the total, the rate, the estimated time left, the failures so far and
// the file being read, redrawn in place on standard error; erased before any output, or
// replaced by a summary when the run ends. Shown only on a terminal.
#include <chrono>
#include <cstddef>
#include <string>

class ProgressLine {
 public:
  // Without iShown it shows nothing.
  ProgressLine(std::size_t iTotal, bool iShown);

  // True when standard error is a terminal, where a progress line belongs.
  static bool OnTerminal();

  bool Shown() const { return _shown; }
  // iCurrent, when not empty, names the file being read.
  void Show(std::size_t iDone, std::size_t iFailed, const std::string& iCurrent = std::string()) const;
  // Clears the line, so that what follows starts on a clean line.
  void Erase() const;
  // Replaces the line with a summary; iUnwalked counts the paths that could not be brought up to date.
  void Finish(std::size_t iDone, std::size_t iFailed, std::size_t iUnwalked = 0) const;

 private:
  double Elapsed() const;

  std::size_t _total;
  bool _shown;
  std::chrono::steady_clock::time_point _start;
};
