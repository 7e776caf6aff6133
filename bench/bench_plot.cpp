// Drawing speed. A QApplication is alive throughout, as in the real program:
// the toolkit changes the processor state that std::pow runs in.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "plot/frame.h"
#include "surface/surface.h"

namespace {

using vesk::RoundedRange;

constexpr vesk::PixelSize kPlotPixels{579, 390};
constexpr RoundedRange kWidest{-32768, 32767, -32768, 32767};
constexpr RoundedRange kStartUp{-9, 9, -9, 9};

void frame(benchmark::State& state, RoundedRange range) {
  vesk::Surface surface(kPlotPixels, vesk::kActiveTitleText);
  for (auto _ : state) {
    surface.clear();
    vesk::draw_frame(surface, range);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
BENCHMARK_CAPTURE(frame, widest, kWidest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(frame, start_up, kStartUp)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
