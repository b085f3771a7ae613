#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Geosig3x3Matrix.h"

namespace {

// Second-moment matrices BᵀB of random 3x3 (or, singular, 2x3) matrices B.
std::vector<Geosig3x3Matrix> MomentMatrices(int iRowsOfB, double iCloseness) {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::vector<Geosig3x3Matrix> matrices;
  for (int n = 0; n < 256; ++n) {
    double b[3][3] = {};
    for (int r = 0; r < iRowsOfB; ++r)
      for (double& value : b[r]) value = unit(random);
    Geosig3x3Matrix m;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        double sum = i == j ? iCloseness : 0.0;
        for (int r = 0; r < 3; ++r) sum += b[r][i] * b[r][j] * (1.0 - iCloseness);
        m.SetCoeff(i, j, sum);
      }
    matrices.push_back(m);
  }
  return matrices;
}

void RunSymDefEigen(benchmark::State& ioState, std::vector<Geosig3x3Matrix> iMatrices) {
  float values[3];
  ZarMathVectorf vectors[3];
  unsigned char status = 0;
  std::size_t next = 0;
  for (auto _ : ioState) {
    iMatrices[next].SymDefEigen(values, vectors, status);
    benchmark::DoNotOptimize(values);
    benchmark::DoNotOptimize(vectors);
    next = (next + 1) % iMatrices.size();
  }
  ioState.SetItemsProcessed(ioState.iterations());
}

// Typical moment matrices: well separated eigenvalues, solved by the QR iteration.
void BM_SymDefEigenOwnSolver(benchmark::State& ioState) { RunSymDefEigen(ioState, MomentMatrices(3, 0.0)); }
BENCHMARK(BM_SymDefEigenOwnSolver);

// Nearly isotropic moments (A = 0.99·I + 0.01·BᵀB): close eigenvalues need many more steps.
void BM_SymDefEigenOwnSolverCloseEigenvalues(benchmark::State& ioState) {
  RunSymDefEigen(ioState, MomentMatrices(3, 0.99));
}
BENCHMARK(BM_SymDefEigenOwnSolverCloseEigenvalues);

// Flat geometry: singular moment matrices go to the platform solver.
void BM_SymDefEigenPlatformSolver(benchmark::State& ioState) { RunSymDefEigen(ioState, MomentMatrices(2, 0.0)); }
BENCHMARK(BM_SymDefEigenPlatformSolver);

// The worst case: an iteration that never converges and runs its 10000 steps.
void BM_SymDefEigenIterationBound(benchmark::State& ioState) {
  Geosig3x3Matrix stalling;
  stalling.SetCoeff(0, 1, 1.0);
  stalling.SetCoeff(1, 0, 1.0);
  stalling.SetCoeff(2, 2, 2.0);
  RunSymDefEigen(ioState, {stalling});
}
BENCHMARK(BM_SymDefEigenIterationBound)->Unit(benchmark::kMicrosecond);

void BM_QR(benchmark::State& ioState) {
  std::vector<Geosig3x3Matrix> matrices = MomentMatrices(3, 0.0);
  Geosig3x3Matrix q, r;
  std::size_t next = 0;
  for (auto _ : ioState) {
    matrices[next].QR(q, r);
    benchmark::DoNotOptimize(r);
    next = (next + 1) % matrices.size();
  }
}
BENCHMARK(BM_QR);

}  // namespace
