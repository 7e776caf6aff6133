// Drawing speed. A QApplication is alive throughout, as in the real program:
// the toolkit changes the processor state that std::pow runs in.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <vector>

#include "files/plot_file.h"
#include "key_points/key_points.h"
#include "plot/frame.h"
#include "plot/plot.h"
#include "reference_curve.h"
#include "sound/curve_sound.h"
#include "surface/surface.h"

namespace {

using vesk::PlotMode;
using vesk::PlotRequest;
using vesk::RoundedRange;

constexpr RoundedRange kWidest{-32768, 32767, -32768, 32767};
constexpr RoundedRange kStartUp{-9, 9, -9, 9};
// The plot area on a screen of scale 1 and 2: device pixels and line width.
constexpr vesk::PixelSize kScale1{579, 390}, kScale2{1158, 780};

void frame(benchmark::State& state, RoundedRange range) {
  vesk::Surface surface(kScale1);
  for (auto _ : state) {
    vesk::draw_frame(surface, range);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
BENCHMARK_CAPTURE(frame, widest, kWidest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(frame, start_up, kStartUp)->Unit(benchmark::kMicrosecond);

// What a plot command or a step of the view draws: frame and curve.
void plot(benchmark::State& state, PlotRequest request, vesk::PixelSize pixels, int line_width) {
  vesk::Surface surface(pixels, line_width);
  for (auto _ : state) {
    vesk::draw_plot(surface, request);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
BENCHMARK_CAPTURE(plot, worst_line, PlotRequest{kWidest, 32767, PlotMode::line}, kScale1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, worst_point, PlotRequest{kWidest, 32767, PlotMode::point}, kScale1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, worst_line_scale_2, PlotRequest{kWidest, 32767, PlotMode::line}, kScale2, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, worst_point_scale_2, PlotRequest{kWidest, 32767, PlotMode::point}, kScale2, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, start_up_line, PlotRequest{kStartUp, 100, PlotMode::line}, kScale1, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plot, start_up_point, PlotRequest{kStartUp, 100, PlotMode::point}, kScale1, 1)->Unit(benchmark::kMicrosecond);
// A zoom step near the minimum at the highest clarity, where the curve fills the view.
BENCHMARK_CAPTURE(plot, dense_step_point, PlotRequest{{-3, 2, -8, 12}, 32767, PlotMode::point}, kScale1, 1)->Unit(benchmark::kMillisecond);

// A step of the view: the numbered frame and the plot command's samples,
// widest at the highest clarity, and the deepest a view goes (a pixel
// spanning a few hundred doubles) on the minimum.
PlotRequest explored(RoundedRange range, int clarity, PlotMode mode, vesk::Bounds view) {
  PlotRequest request{range, clarity, mode, true};
  request.view = view;
  return request;
}
const vesk::Bounds kWidestView{-32768, 32767, -32768, 32767};
const vesk::Bounds kDeepest{-1.6391870431759450, -1.6391870431759450 + 578 * 256 * 2.220446049250313e-16,
                            -7.4762019259274917, -7.4762019259274917 + 389 * 256 * 8.881784197001252e-16};
BENCHMARK_CAPTURE(plot, step_worst_line, explored(kWidest, 32767, PlotMode::line, kWidestView), kScale1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, step_worst_point, explored(kWidest, 32767, PlotMode::point, kWidestView), kScale1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, step_worst_line_scale_2, explored(kWidest, 32767, PlotMode::line, kWidestView), kScale2, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, step_worst_point_scale_2, explored(kWidest, 32767, PlotMode::point, kWidestView), kScale2, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(plot, step_deepest_line, explored(kStartUp, 32767, PlotMode::line, kDeepest), kScale1, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plot, step_deepest_line_scale_2, explored(kStartUp, 32767, PlotMode::line, kDeepest), kScale2, 2)->Unit(benchmark::kMicrosecond);

// The per-sample reference beside the fast renderer on the same input, sized
// so the reference takes about a second: x −400 … 400 at clarity 32767 is
// 26 million samples.
void reference(benchmark::State& state, PlotRequest request) {
  vesk::Surface surface(kScale1);
  for (auto _ : state) {
    vesk::draw_frame(surface, request.range);
    vesk::draw_curve_each_sample(surface, request);
    benchmark::DoNotOptimize(surface.image().constBits());
  }
}
constexpr RoundedRange kSpeedUp{-400, 400, -10, 10};
BENCHMARK_CAPTURE(reference, speedup_line, PlotRequest{kSpeedUp, 32767, PlotMode::line})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(plot, speedup_line, PlotRequest{kSpeedUp, 32767, PlotMode::line}, kScale1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(reference, speedup_point, PlotRequest{kSpeedUp, 32767, PlotMode::point})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(plot, speedup_point, PlotRequest{kSpeedUp, 32767, PlotMode::point}, kScale1, 1)->Unit(benchmark::kMillisecond);

// Every key point found from scratch: the roots of f, and on the way those of f′ and f″.
void key_points(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vesk::sign_changes(vesk::kQuartic));
}
BENCHMARK(key_points)->Unit(benchmark::kMicrosecond);

// The files a save writes, in memory; the counter gives the size in bytes.
void file(benchmark::State& state, PlotRequest request, vesk::FileFormat format) {
  QByteArray bytes;
  for (auto _ : state) {
    bytes = vesk::encode_plot(request, format);
    benchmark::DoNotOptimize(bytes.constData());
  }
  state.counters["bytes"] = double(bytes.size());
}
BENCHMARK_CAPTURE(file, worst_svg_line, PlotRequest{kWidest, 32767, PlotMode::line}, vesk::FileFormat::svg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(file, worst_svg_point, PlotRequest{kWidest, 32767, PlotMode::point}, vesk::FileFormat::svg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(file, dense_svg_line, PlotRequest{{-3, 2, -8, 12}, 32767, PlotMode::line}, vesk::FileFormat::svg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(file, dense_svg_point, PlotRequest{{-3, 2, -8, 12}, 32767, PlotMode::point}, vesk::FileFormat::svg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(file, dense_pdf_point, PlotRequest{{-3, 2, -8, 12}, 32767, PlotMode::point}, vesk::FileFormat::pdf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(file, worst_bmp, PlotRequest{kWidest, 32767, PlotMode::point}, vesk::FileFormat::bmp)->Unit(benchmark::kMillisecond);

// The sound of a view, three seconds, made a tenth of a second at a time as the
// player asks for it (its memory: that piece); the worst input has 2.1 billion samples.
void sound(benchmark::State& state, PlotRequest request) {
  std::vector<std::int16_t> piece(4410 * 2);
  for (auto _ : state) {
    vesk::CurveSound sweep(request, vesk::kDefaultSeconds, vesk::Channels::stereo);
    while (!sweep.done()) sweep.fill(piece.data(), 4410);
    benchmark::DoNotOptimize(piece.data());
  }
}
BENCHMARK_CAPTURE(sound, worst_line, PlotRequest{kWidest, 32767, PlotMode::line})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sound, worst_point, PlotRequest{kWidest, 32767, PlotMode::point})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sound, start_up_line, PlotRequest{kStartUp, 100, PlotMode::line})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
