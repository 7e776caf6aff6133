#include "reading/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vesk {
namespace {

bool is_ignored(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool is_decimal_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The text without the characters the reader skips, narrowed to ASCII: any
// other character cannot continue a number, so it becomes a stop mark.
std::string cleaned(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (is_ignored(c)) continue;
    out.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
  }
  return out;
}

int digit_value(char c, int radix) {
  int value = radix;  // "not a digit of this radix"
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

std::optional<double> read_radix(std::string_view digits, int radix) {
  double value = 0.0;
  for (const char c : digits) {
    const int digit = digit_value(c, radix);
    if (digit < 0) break;
    value = value * radix + digit;
    if (std::isinf(value)) return std::nullopt;
  }
  return value;
}

std::optional<double> read_decimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  const std::size_t mantissa_start = i;
  std::size_t mantissa_digits = 0;
  // Decimal exponent of the leading significant digit, to tell an overflow
  // from an underflow when the value does not fit.
  long long leading_exponent = 0;
  bool seen_significant = false;
  bool seen_point = false;
  for (; i < s.size(); ++i) {
    if (is_decimal_digit(static_cast<char16_t>(s[i]))) {
      ++mantissa_digits;
      if (!seen_significant && s[i] != '0') seen_significant = true;
      if (seen_significant && !seen_point) ++leading_exponent;
      if (!seen_significant && seen_point) --leading_exponent;
    } else if (s[i] == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (mantissa_digits == 0) return 0.0;
  std::size_t end = i;

  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent_negative = s[j++] == '-';
    const std::size_t exponent_start = j;
    for (; j < s.size() && is_decimal_digit(static_cast<char16_t>(s[j])); ++j) {
      // Saturate: any exponent beyond this is out of range either way.
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[j] - '0');
    }
    if (j > exponent_start) {
      end = j;
      if (exponent_negative) exponent = -exponent;
    }
  }

  // from_chars takes no leading '+', and is locale-independent.
  const std::string_view number = s.substr(mantissa_start, end - mantissa_start);
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                         std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (!seen_significant || leading_exponent + exponent <= 0) return negative ? -0.0 : 0.0;
    return std::nullopt;
  }
  if (ec != std::errc() || std::isinf(value)) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

std::optional<double> number_from_text(std::u16string_view text) {
  const std::string s = cleaned(text);
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return read_radix(std::string_view(s).substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return read_radix(std::string_view(s).substr(2), 8);
  }
  return read_decimal(s);
}

std::optional<std::int16_t> round_to_16_bits(double value) {
  if (!(value >= -32768.5 && value <= 32767.5)) return std::nullopt;  // also NaN
  const double floor = std::floor(value);
  const double fraction = value - floor;  // exact for |value| < 2^52
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace vesk
