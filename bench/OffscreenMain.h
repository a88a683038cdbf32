// The main function of the gui benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

// Runs the benchmarks under an application object of type App, on Qt's
// offscreen platform unless another one is asked for.
template <class App>
int RunOffscreenBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  App app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
