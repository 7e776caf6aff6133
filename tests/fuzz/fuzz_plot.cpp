// Fuzzes the plot commands' path: the five input texts through the checks,
// then the whole plot, on the saved picture and on a screen of scale 2.
// AddressSanitizer catches any write outside the image; while the sample count
// is small enough for the exact oracle, the image must be the exact curve.

#include <QStringList>
#include <cstdio>

#include "reading/plot_input.h"
#include "plot/frame.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "oracles/exact_curve.h"
#include "surface/colours.h"
#include "surface/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const vesk::PlotMode mode = vesk::PlotMode(data[0] % 3);
  const int line_width = 1 + (data[0] / 3) % 2;
  // The five boxes, separated by '|': "x1|x2|y1|y2|clarity".
  const QStringList f =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)).split(QLatin1Char('|'));
  const vesk::PlotCheck checked = vesk::check_plot_input({f.value(0), f.value(1), f.value(2), f.value(3), f.value(4)}, mode);
  const auto* request = std::get_if<vesk::PlotRequest>(&checked);
  if (!request) return 0;  // refused: the window shows a message and draws nothing
  const vesk::RoundedRange r = request->range;
  if (!(r.x1r < r.x2r && r.y1r < r.y2r) || request->clarity == 0) std::abort();

  const vesk::PixelSize pixels = line_width == 1 ? vesk::kPictureSize : vesk::PixelSize{1158, 780};
  vesk::Surface fast(pixels, line_width), frame(pixels, line_width);
  vesk::draw_plot(fast, *request);
  if (vesk::Sampling(r.x1r, r.x2r, request->clarity).count() > 20000) return 0;  // keeps runs fast
  vesk::draw_frame(frame, r);
  const QImage exact = vesk::test::with_exact_curve(frame.image(), *request, line_width, vesk::kRed);
  if (fast.image() == exact) return 0;
  for (int i = 0; i < exact.width() * exact.height(); ++i)
    if (fast.image().pixel(i % exact.width(), i / exact.width()) != exact.pixel(i % exact.width(), i / exact.width())) {
      std::fprintf(stderr, "fast image differs at (%d, %d): x %d..%d y %d..%d clarity %d mode %d width %d\n",
                   i % exact.width(), i / exact.width(), r.x1r, r.x2r, r.y1r, r.y2r, request->clarity, int(mode), line_width);
      break;
    }
  std::abort();
}
