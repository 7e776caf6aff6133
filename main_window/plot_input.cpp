#include "main_window/plot_input.h"

#include <array>
#include <optional>

#include "main_window/number_text.h"

namespace vesk {
namespace {

struct Box {
  const QString* text;
  const char* name;  // as the user sees the box: row and column heading
};

std::optional<double> read(const Box& box) { return number_from_text(box.text->toStdU16String()); }

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

std::array<Box, 4> boxes(const RangeTexts& texts) {
  return {Box{&texts.x1, "X from"}, Box{&texts.x2, "X to"}, Box{&texts.y1, "Y from"},
          Box{&texts.y2, "Y to"}};
}

// Rounds the four doubles and checks that each axis keeps a width.
std::variant<RoundedRange, Refusal> round_range(const std::array<Box, 4>& box,
                                                const std::array<double, 4>& value) {
  std::array<std::int16_t, 4> rounded{};
  for (std::size_t i = 0; i < box.size(); ++i) {
    const auto r = round_to_16_bits(value[i]);
    if (!r) return out_of_range(box[i]);
    rounded[i] = *r;
  }
  if (rounded[0] == rounded[1]) return same_integer(box[0], box[1], rounded[0]);
  if (rounded[2] == rounded[3]) return same_integer(box[2], box[3], rounded[2]);
  return RoundedRange{rounded[0], rounded[1], rounded[2], rounded[3]};
}

// The four bounds as doubles, or the refusal of the first that no double holds.
std::variant<std::array<double, 4>, Refusal> read_doubles(const std::array<Box, 4>& box) {
  std::array<double, 4> value{};
  for (std::size_t i = 0; i < box.size(); ++i) {
    const auto v = read(box[i]);
    if (!v) return out_of_range(box[i]);
    value[i] = *v;
  }
  return value;
}

}  // namespace

std::variant<RoundedRange, Refusal> read_rounded_range(const RangeTexts& texts) {
  const auto box = boxes(texts);
  const auto values = read_doubles(box);
  if (const auto* refusal = std::get_if<Refusal>(&values)) return *refusal;
  return round_range(box, std::get<std::array<double, 4>>(values));
}

PlotCheck check_plot_input(const RangeTexts& texts, const QString& clarity_text) {
  const auto box = boxes(texts);
  const auto values = read_doubles(box);
  if (const auto* refusal = std::get_if<Refusal>(&values)) return *refusal;
  const auto& value = std::get<std::array<double, 4>>(values);
  if (!(value[1] > value[0] && value[3] > value[2])) return EmptyRange{};

  const auto range = round_range(box, value);
  if (const auto* refusal = std::get_if<Refusal>(&range)) return *refusal;

  const Box clarity_box{&clarity_text, "clarity"};
  const auto clarity_value = read(clarity_box);
  const auto clarity = clarity_value ? round_to_16_bits(*clarity_value) : std::nullopt;
  if (!clarity) return out_of_range(clarity_box);
  if (*clarity == 0) {
    return Refusal{QStringLiteral("The clarity box reads as 0.\n"
                                  "The clarity is the number of samples per unit and must not be 0.")};
  }
  return PlotRequest{std::get<RoundedRange>(range), *clarity};
}

}  // namespace vesk
