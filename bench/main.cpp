#include <benchmark/benchmark.h>

#ifdef FRETLETS_BENCH_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
#ifdef FRETLETS_BENCH_GUI
  // The panels' benchmarks share one application; it must end here, while Qt's
  // own globals that it tears down still exist, not among the statics at exit.
  delete QApplication::instance();
#endif
  return 0;
}
