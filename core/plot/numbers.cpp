#include "plot/numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "plot/plot.h"
#include "surface/raster.h"

namespace vesk {
namespace {

// 0 … 9, minus, full stop.
constexpr std::array<std::array<unsigned char, kGlyphHeight>, 12> kGlyphs{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}};
constexpr std::array<unsigned char, kGlyphHeight> kNoGlyph{};

// Every first, second, fifth, tenth … grid line is numbered, the fewest that leave `room` between numbers.
int label_stride(double step_pixels, double room) {
  for (int stride = 1;; stride *= 10)
    for (const int factor : {1, 2, 5})
      if (stride * factor * step_pixels >= room || stride >= 1'000'000) return stride * factor;
}

int text_width(const QString& text, int scale) { return int(text.size() * kGlyphAdvance - 1) * scale; }

}  // namespace

const unsigned char* glyph(QChar c) {
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return kGlyphs[size_t(c.unicode() - '0')].data();
  if (c == QLatin1Char('-')) return kGlyphs[10].data();
  if (c == QLatin1Char('.')) return kGlyphs[11].data();
  return kNoGlyph.data();
}

double grid_spacing(double units, int pixels) {
  const double least = kGridPixels * units / (pixels - 1);
  const double decade = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * decade >= least) return factor * decade;
  return 10 * decade;
}

QList<double> grid_values(double from, double to, double spacing) {
  QList<double> values;
  const double first = std::ceil(from / spacing), last = std::floor(to / spacing);
  if (!(std::abs(first) < 4e18 && std::abs(last) < 4e18) || last - first > 10000) return values;
  for (auto n = std::int64_t(first); n <= std::int64_t(last); ++n)
    if (n != 0) values << double(n) * spacing;
  return values;
}

QString grid_text(double value, double spacing) {
  const int decimals = std::max(0, -int(std::floor(std::log10(spacing) + 1e-9)));
  return QString::number(value, 'f', decimals);
}

QList<PlacedNumber> grid_numbers(Bounds view, PixelSize pixels, int scale) {
  const Mapping mapping = mapping_for(view, pixels);
  const int height = kGlyphHeight * scale, gap = 2 * scale;
  const auto inside = [&](const QRect& r) { return r.left() >= 0 && r.top() >= 0 && r.right() < pixels.width && r.bottom() < pixels.height; };
  QList<PlacedNumber> placed;

  // Along x: under the x axis (above it at the bottom), or along the edge nearer to it.
  const double sx = grid_spacing(view.x_to - view.x_from, kPictureSize.width);
  const QList<double> xs = grid_values(view.x_from, view.x_to, sx);
  int widest = 0;
  for (const double x : xs) widest = std::max(widest, text_width(grid_text(x, sx), scale));
  const double x_step = sx / (view.x_to - view.x_from) * (pixels.width - 1);
  const int x_stride = label_stride(x_step, widest + 2 * kGlyphAdvance * scale);
  // Clamped: far out of view the axis lies beyond any int.
  const int axis_row = pixel_index(mapping.to_pixel_y(0), pixels.height);
  int top = view.y_from > 0 ? pixels.height - height - gap : view.y_to < 0 ? gap : axis_row + 3 * scale;
  if (view.y_from <= 0 && view.y_to >= 0 && top + height > pixels.height) top = axis_row - 2 * scale - height;
  for (const double x : xs) {
    if (std::llround(x / sx) % x_stride != 0) continue;
    const QString text = grid_text(x, sx);
    const int width = text_width(text, scale);
    const QRect place(int(std::floor(mapping.to_pixel_x(x) + 0.5)) - width / 2, top, width, height);
    if (inside(place)) placed << PlacedNumber{text, place, scale};
  }
  const qsizetype along_x = placed.size();

  // Along y: left of the y axis (right of it at the left edge), or along the edge nearer to it.
  const double sy = grid_spacing(view.y_to - view.y_from, kPictureSize.height);
  const double y_step = sy / (view.y_to - view.y_from) * (pixels.height - 1);
  const int y_stride = label_stride(y_step, height + 2 * gap);
  const int axis_column = pixel_index(mapping.to_pixel_x(0), pixels.width);
  for (const double y : grid_values(view.y_from, view.y_to, sy)) {
    if (std::llround(y / sy) % y_stride != 0) continue;
    const QString text = grid_text(y, sy);
    const int width = text_width(text, scale);
    int left = view.x_from > 0 ? gap : view.x_to < 0 ? pixels.width - width - gap : axis_column - 3 * scale - width;
    if (view.x_from <= 0 && view.x_to >= 0 && left < 0) left = axis_column + 3 * scale;
    const QRect place(left, int(std::floor(mapping.to_pixel_y(y) + 0.5)) - 3 * scale, width, height);
    const bool clear = std::none_of(placed.begin(), placed.begin() + along_x,
                                    [&](const PlacedNumber& other) { return other.place.adjusted(-gap, -gap, gap, gap).intersects(place); });
    if (inside(place) && clear) placed << PlacedNumber{text, place, scale};
  }
  return placed;
}

}  // namespace vesk
