#include "reading/plot_input.h"

#include <array>
#include <optional>

#include "reading/number_text.h"

namespace vesk {
namespace {

struct Box {
  const QString* text;
  const char* name;  // as the user sees the box: row and column heading
};

Refusal out_of_range(const Box& box) {
  return {QStringLiteral("The %1 box holds a number outside −32768 … 32767.\n"
                         "Bounds and clarity must round to whole numbers in that range.")
              .arg(QLatin1String(box.name))};
}

Refusal same_integer(const Box& low, const Box& high, int value) {
  return {QStringLiteral("The %1 and %2 boxes both round to %3.\n"
                         "The rounded bounds of an axis must differ by at least 1.")
              .arg(QLatin1String(low.name), QLatin1String(high.name))
              .arg(value)};
}

}  // namespace

PlotCheck check_plot_input(const BoxTexts& texts, PlotMode mode) {
  const std::array<Box, 5> box{Box{&texts.x1, "X from"}, Box{&texts.x2, "X to"}, Box{&texts.y1, "Y from"},
                               Box{&texts.y2, "Y to"}, Box{&texts.clarity, "clarity"}};
  std::array<double, 5> value{};
  for (std::size_t i = 0; i < box.size(); ++i) {
    const auto v = number_from_text(box[i].text->toStdU16String());
    if (!v) return out_of_range(box[i]);
    value[i] = *v;
  }
  if (!(value[1] > value[0] && value[3] > value[2])) return EmptyRange{};

  std::array<std::int16_t, 5> rounded{};
  for (std::size_t i = 0; i < box.size(); ++i) {
    const auto r = round_to_16_bits(value[i]);
    if (!r) return out_of_range(box[i]);
    rounded[i] = *r;
  }
  if (rounded[0] == rounded[1]) return same_integer(box[0], box[1], rounded[0]);
  if (rounded[2] == rounded[3]) return same_integer(box[2], box[3], rounded[2]);
  if (rounded[4] == 0) {
    return Refusal{QStringLiteral("The clarity box reads as 0.\n"
                                  "The clarity is the number of samples per unit and must not be 0.")};
  }
  return PlotRequest{{rounded[0], rounded[1], rounded[2], rounded[3]}, rounded[4], mode};
}

}  // namespace vesk
