// Fuzzes the plot commands' path: the five input texts through the checks,
// then the frame and the curve. AddressSanitizer catches any write outside
// the image; while the sample count is small enough for the per-sample
// reference, the fast image must equal it.

#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "main_window/plot_input.h"
#include "plot/curve.h"
#include "plot/frame.h"
#include "surface/surface.h"

namespace {

constexpr std::int64_t kReferenceLimit = 20000;  // samples, to keep runs fast

void check(const QStringList& fields, vesk::PlotMode mode) {
  const vesk::RangeTexts texts{fields.value(0), fields.value(1), fields.value(2), fields.value(3)};
  const vesk::PlotCheck checked = vesk::check_plot_input(texts, fields.value(4));
  const auto* request = std::get_if<vesk::PlotRequest>(&checked);
  if (!request) return;  // refused: the window shows a message and draws nothing
  const vesk::RoundedRange r = request->range;
  if (!(r.x1r < r.x2r && r.y1r < r.y2r) || request->clarity == 0) std::abort();

  vesk::Surface fast({579, 390}, vesk::kActiveTitleText);
  vesk::draw_frame(fast, r);
  vesk::Surface reference = fast;
  vesk::plot_curve(fast, r, request->clarity, mode);
  const vesk::Sampling sampling(r.x1r, r.x2r, request->clarity);
  if (sampling.count() > kReferenceLimit) return;
  if (mode == vesk::PlotMode::line) vesk::plot_by_line_each_sample(reference, r, request->clarity);
  else vesk::plot_by_point_each_sample(reference, r, request->clarity);
  if (fast.image() != reference.image()) {
    std::fprintf(stderr, "fast image differs: x %d..%d y %d..%d clarity %d mode %d\n", r.x1r, r.x2r, r.y1r,
                 r.y2r, request->clarity, int(mode));
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const vesk::PlotMode mode = data[0] & 1 ? vesk::PlotMode::point : vesk::PlotMode::line;
  // The five boxes, separated by '|': "x1|x2|y1|y2|clarity".
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  check(text.split(QLatin1Char('|')), mode);
  return 0;
}
