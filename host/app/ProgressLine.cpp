#include "ProgressLine.h"

#include <unistd.h>

#include <cstdio>

ProgressLine::ProgressLine(std::size_t iTotal, bool iShown)
    : _total(iTotal), _shown(iShown), _start(std::chrono::steady_clock::now()) {}

bool ProgressLine::OnTerminal() { return isatty(STDERR_FILENO) != 0; }

double ProgressLine::Elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - _start).count();
}

void ProgressLine::Show(std::size_t iDone, std::size_t iFailed, const std::string& iCurrent) const {
  if (!_shown) return;
  const double elapsed = Elapsed();
  std::fprintf(stderr, "\r\033[K[%zu/%zu]", iDone, _total);
  if (iDone > 0 && elapsed > 0.0) {
    const double rate = static_cast<double>(iDone) / elapsed;
    const long left = static_cast<long>(static_cast<double>(_total - iDone) / rate + 0.5);
    std::fprintf(stderr, " %.1f files/s, ETA %ld:%02ld", rate, left / 60, left % 60);
  }
  if (iFailed > 0) std::fprintf(stderr, ", %zu failed", iFailed);
  if (!iCurrent.empty()) std::fprintf(stderr, " %s", iCurrent.c_str());
  std::fflush(stderr);
}

void ProgressLine::Erase() const {
  if (!_shown) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

void ProgressLine::Finish(std::size_t iDone, std::size_t iFailed, std::size_t iUnwalked) const {
  if (!_shown) return;
  std::fprintf(stderr, "\r\033[K%zu files described, %zu failed, ", iDone - iFailed, iFailed);
  if (iUnwalked > 0) std::fprintf(stderr, "%zu paths not brought up to date (their entries kept), ", iUnwalked);
  std::fprintf(stderr, "in %.1f s\n", Elapsed());
}
