#pragma once
// The two conversions every input box goes through: text to number, and number
// to a 16-bit signed integer. Both are independent of the locale and never
// throw; a value they cannot represent comes back as std::nullopt.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vesk {

// Reads the longest leading number of `text`.
// - Blanks, tabs and line feeds are ignored wherever they stand ("1 2" reads 12).
// - Decimal: optional sign, digits, one full stop as the decimal separator,
//   optional exponent (e or E, optional sign, digits): "1e3" reads 1000.
// - "&H" (hexadecimal) and "&O" (octal) prefixes, in either case, at the start.
// - Reading stops at the first character that cannot continue the number;
//   text without a leading number reads 0 ("abc", "", "inf", "nan", "0x10" → 0,
//   "1,5" → 1).
// - A number too large for a double gives std::nullopt (never infinity); one
//   too small to represent reads as 0.
std::optional<double> number_from_text(std::u16string_view text);

// Rounds to the nearest integer, a value exactly halfway going to the even
// neighbour (2.5 → 2, 3.5 → 4, −0.5 → 0, −1.5 → −2). std::nullopt when the
// result lies outside −32768 … 32767 or the value is not a number.
std::optional<std::int16_t> round_to_16_bits(double value);

}  // namespace vesk
