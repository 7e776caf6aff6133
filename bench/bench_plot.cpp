// Drawing speed. A QApplication is alive throughout, as in the real program:
// the toolkit changes the processor state that std::pow runs in.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "plot/curve.h"
#include "plot/fast_curve.h"
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

using Renderer = void (*)(vesk::Surface&, RoundedRange, int);

// The curve alone, on a drawn frame.
void curve(benchmark::State& state, RoundedRange range, int clarity, Renderer render) {
  vesk::Surface surface(kPlotPixels, vesk::kActiveTitleText);
  vesk::draw_frame(surface, range);
  for (auto _ : state) {
    render(surface, range, clarity);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
BENCHMARK_CAPTURE(curve, worst_line, kWidest, 32767, vesk::render_curve_by_line)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(curve, worst_point, kWidest, 32767, vesk::render_curve_by_point)->Unit(benchmark::kMillisecond);

// What a plot command draws: clear, frame, curve.
void plot_command(benchmark::State& state, RoundedRange range, int clarity, vesk::PlotMode mode) {
  vesk::Surface surface(kPlotPixels, vesk::kActiveTitleText);
  for (auto _ : state) {
    surface.clear();
    vesk::draw_frame(surface, range);
    vesk::plot_curve(surface, range, clarity, mode);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
BENCHMARK_CAPTURE(plot_command, worst_line, kWidest, 32767, vesk::PlotMode::line)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot_command, worst_point, kWidest, 32767, vesk::PlotMode::point)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot_command, start_up_line, kStartUp, 100, vesk::PlotMode::line)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plot_command, start_up_point, kStartUp, 100, vesk::PlotMode::point)->Unit(benchmark::kMicrosecond);

// The per-sample reference beside the fast renderer on the same input, sized
// so the reference takes about a second: x −400 … 400 at clarity 32767 is
// 26 million samples.
constexpr RoundedRange kSpeedUp{-400, 400, -10, 10};
BENCHMARK_CAPTURE(curve, speedup_reference_line, kSpeedUp, 32767, vesk::plot_by_line_each_sample)
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(curve, speedup_fast_line, kSpeedUp, 32767, vesk::render_curve_by_line)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(curve, speedup_reference_point, kSpeedUp, 32767, vesk::plot_by_point_each_sample)
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(curve, speedup_fast_point, kSpeedUp, 32767, vesk::render_curve_by_point)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
