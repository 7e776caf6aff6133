#include "plot/numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "plot/plot.h"
#include "surface/raster.h"

namespace vesk {
namespace {

// 0 … 9, minus, full stop, plus, e.
constexpr std::array<std::array<unsigned char, kGlyphHeight>, 14> kGlyphs{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C},
    {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}, {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}}};
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
  if (c == QLatin1Char('+')) return kGlyphs[12].data();
  if (c == QLatin1Char('e')) return kGlyphs[13].data();
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

QString scientific(double value, int digits) {
  const QString text = QString::number(value, 'e', std::max(0, digits - 1));  // "-1.50e-17": the exponent trimmed
  const qsizetype e = text.indexOf(QLatin1Char('e'));
  const int exponent = text.mid(e + 1).toInt();
  return text.left(e) + QLatin1Char('e') + QString::number(exponent);
}

GridText grid_text(double from, double to, double spacing) {
  const int decimals = std::max(0, -int(std::floor(std::log10(spacing) + 1e-9)));
  const int finest = int(std::floor(std::log10(spacing) + 1e-9));  // the decade of the spacing's leading digit
  const double largest = std::max(std::abs(from), std::abs(to));
  // Fixed-point while it stays short; in powers of ten while few digits tell the lines apart; else each line as
  // its distance from one round value near the view, which is shown once.
  if (QString::number(-largest, 'f', decimals).size() <= kLongestNumber) return {std::nullopt, decimals};
  const int digits = int(std::floor(std::log10(largest))) - finest + 1;
  if (digits <= 4) return {std::nullopt, -1};
  const double unit = spacing * 1000;
  return {std::round((from / 2 + to / 2) / unit) * unit, -1};
}

QString GridText::text(double value, double spacing) const {
  if (decimals >= 0) return QString::number(value, 'f', decimals);
  if (!base) return scientific(value, std::max(1, int(std::floor(std::log10(std::abs(value)))) - int(std::floor(std::log10(spacing) + 1e-9)) + 1));
  const double offset = std::round((value - *base) / spacing) * spacing;  // a whole number of spacings
  if (offset == 0) return QStringLiteral("+0");
  const int digits = offset == 0 ? 1 : int(std::floor(std::log10(std::abs(offset)))) - int(std::floor(std::log10(spacing) + 1e-9)) + 1;
  return (offset >= 0 ? QStringLiteral("+") : QString()) + scientific(offset, std::max(1, digits));
}

QString GridText::base_text(double spacing) const {
  if (!base) return {};
  const int digits = int(std::floor(std::log10(std::abs(*base)))) - int(std::floor(std::log10(spacing * 1000) + 1e-9)) + 1;
  return scientific(*base, std::max(1, digits));
}

QList<PlacedNumber> grid_numbers(Bounds view, PixelSize pixels, int scale) {
  const Mapping mapping = mapping_for(view, pixels);
  const int height = kGlyphHeight * scale, gap = 2 * scale;
  const auto inside = [&](const QRect& r) { return r.left() >= 0 && r.top() >= 0 && r.right() < pixels.width && r.bottom() < pixels.height; };
  QList<PlacedNumber> placed;

  // Along x: under the x axis (above it at the bottom), or along the edge nearer to it.
  const double sx = grid_spacing(view.x_to - view.x_from, kPictureSize.width);
  const QList<double> xs = grid_values(view.x_from, view.x_to, sx);
  const GridText x_text = grid_text(view.x_from, view.x_to, sx);
  int widest = 0;
  for (const double x : xs) widest = std::max(widest, text_width(x_text.text(x, sx), scale));
  const double x_step = sx / (view.x_to - view.x_from) * (pixels.width - 1);
  const int x_stride = label_stride(x_step, widest + 2 * kGlyphAdvance * scale);
  // Clamped: far out of view the axis lies beyond any int.
  const int axis_row = pixel_index(mapping.to_pixel_y(0), pixels.height);
  int top = view.y_from > 0 ? pixels.height - height - gap : view.y_to < 0 ? gap : axis_row + 3 * scale;
  if (view.y_from <= 0 && view.y_to >= 0 && top + height > pixels.height) top = axis_row - 2 * scale - height;
  const auto clear_of = [&](const QRect& place, qsizetype from, qsizetype to) {
    return std::none_of(placed.begin() + from, placed.begin() + to,
                        [&](const PlacedNumber& other) { return other.place.adjusted(-gap, -gap, gap, gap).intersects(place); });
  };
  if (x_text.base) {  // once, at the left end of the row
    const QString base = x_text.base_text(sx);
    placed << PlacedNumber{base, QRect(gap, top, text_width(base, scale), height), scale};
  }
  const qsizetype x_bases = placed.size();
  for (const double x : xs) {
    if (std::llround(x / sx) % x_stride != 0) continue;
    const QString text = x_text.text(x, sx);
    const int width = text_width(text, scale);
    const QRect place(int(std::floor(mapping.to_pixel_x(x) + 0.5)) - width / 2, top, width, height);
    if (inside(place) && clear_of(place, 0, x_bases)) placed << PlacedNumber{text, place, scale};
  }
  const qsizetype along_x = placed.size();

  // Along y: left of the y axis (right of it at the left edge), or along the edge nearer to it.
  const double sy = grid_spacing(view.y_to - view.y_from, kPictureSize.height);
  const double y_step = sy / (view.y_to - view.y_from) * (pixels.height - 1);
  const int y_stride = label_stride(y_step, height + 2 * gap);
  const int axis_column = pixel_index(mapping.to_pixel_x(0), pixels.width);
  const GridText y_text = grid_text(view.y_from, view.y_to, sy);
  const auto left_for = [&](int width) {
    const int left = view.x_from > 0 ? gap : view.x_to < 0 ? pixels.width - width - gap : axis_column - 3 * scale - width;
    return view.x_from <= 0 && view.x_to >= 0 && left < 0 ? axis_column + 3 * scale : left;
  };
  if (y_text.base) {  // once, at the top of the column
    const QString base = y_text.base_text(sy);
    const QRect place(left_for(text_width(base, scale)), gap, text_width(base, scale), height);
    if (inside(place) && clear_of(place, 0, along_x)) placed << PlacedNumber{base, place, scale};
  }
  const qsizetype y_bases = placed.size();
  for (const double y : grid_values(view.y_from, view.y_to, sy)) {
    if (std::llround(y / sy) % y_stride != 0) continue;
    const QString text = y_text.text(y, sy);
    const int width = text_width(text, scale);
    const QRect place(left_for(width), int(std::floor(mapping.to_pixel_y(y) + 0.5)) - 3 * scale, width, height);
    if (inside(place) && clear_of(place, 0, y_bases)) placed << PlacedNumber{text, place, scale};
  }
  return placed;
}

}  // namespace vesk
