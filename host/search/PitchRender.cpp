#include "PitchRender.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The blur's standard deviation, in slices: enough that a period of a fractional number of
// slices repeats at its own lag about as well as at a multiple that happens to be whole.
constexpr int Blur = 6;
// A lag counts as the period once it repeats the profile this nearly as well as the best lag:
// every multiple of the period repeats it too, and the shortest is the pitch.
constexpr double NearBest = 0.85;

// iValues blurred by a Gaussian of Blur slices, cut at four deviations, zero beyond the ends.
std::vector<double> Blurred(const std::vector<double>& iValues) {
  std::vector<double> kernel(8 * Blur + 1);
  for (std::size_t k = 0; k < kernel.size(); ++k) {
    const double offset = (static_cast<double>(k) - 4 * Blur) / Blur;
    kernel[k] = std::exp(-0.5 * offset * offset);
  }
  const double total = std::accumulate(kernel.begin(), kernel.end(), 0.0);
  const int size = static_cast<int>(iValues.size());
  std::vector<double> blurred(iValues.size(), 0.0);
  for (int i = 0; i < size; ++i)
    for (int k = -4 * Blur; k <= 4 * Blur; ++k)
      if (i + k >= 0 && i + k < size) blurred[i] += iValues[i + k] * kernel[k + 4 * Blur] / total;
  return blurred;
}

// The period of a profile, in slices; 0 where none repeats.
int PeriodOf(const std::vector<double>& iProfile) {
  // Too few slices to hold a feature twice, with room between.
  if (iProfile.size() < 8) return 0;
  std::vector<double> values = Blurred(iProfile);
  const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  for (double& value : values) value -= mean;
  // The autocorrelation up to half the span: a period must fit twice.
  const int size = static_cast<int>(values.size()), half = size / 2;
  std::vector<double> repeat(static_cast<std::size_t>(half) + 1);
  for (int lag = 0; lag <= half; ++lag) {
    double sum = 0.0;
    for (int i = 0; i + lag < size; ++i) sum += values[i] * values[i + lag];
    repeat[lag] = sum;
  }
  if (!(repeat[0] > 0.0)) return 0;
  // The lags of the first hump of correlation, the profile against itself barely shifted, are
  // no period.
  int start = 1;
  while (start <= half && repeat[start] >= 0.0) ++start;
  if (start + 2 >= half) return 0;
  // Per overlapping slice, so that a long lag, which overlaps less, is not penalised for it.
  const double whole = repeat[0];
  for (int lag = 0; lag <= half; ++lag) repeat[lag] = repeat[lag] / whole * size / (size - lag);
  std::vector<int> peaks;
  for (int lag = start; lag < half - 1; ++lag)
    if (repeat[lag] > 0.0 && repeat[lag] >= repeat[lag - 1] && repeat[lag] >= repeat[lag + 1]) peaks.push_back(lag);
  if (peaks.empty()) return 0;
  double best = 0.0;
  for (const int lag : peaks) best = std::max(best, repeat[lag]);
  for (const int lag : peaks)
    if (repeat[lag] >= NearBest * best) return repeat[lag] >= PitchRender::LeastRepeat ? lag : 0;
  return 0;
}

}  // namespace

PitchRender::PitchRender(float iReach) : _steps(Bins + 1, 0.0), _reach(iReach) {}

HRESULT PitchRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  const double area = TriangleArea(ioA, ioB, ioC);
  if (!(area > 0.0)) return S_OK;
  const auto slice = [this](double iX) {
    const double position = (iX + _reach) / (2.0 * _reach) * Bins;
    return position >= 0.0 ? static_cast<int>(std::min(position, Bins - 1.0)) : 0;
  };
  const int low = slice(std::min({ioA.x, ioB.x, ioC.x})), high = slice(std::max({ioA.x, ioB.x, ioC.x}));
  const double share = area / (high - low + 1);
  _steps[low] += share;
  _steps[high + 1] -= share;
  _first = std::min(_first, low), _last = std::max(_last, high);
  return S_OK;
}

HRESULT PitchRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }

HRESULT PitchRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

double PitchRender::Pitch() const {
  if (_last < _first) return 0.0;
  // No triangle reaches below _first, so the sums from there are the profile.
  std::vector<double> profile(static_cast<std::size_t>(_last - _first) + 1);
  std::partial_sum(_steps.begin() + _first, _steps.begin() + _last + 1, profile.begin());
  return PeriodOf(profile) * 2.0 * _reach / Bins;
}
