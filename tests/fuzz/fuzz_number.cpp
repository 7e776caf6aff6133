// Fuzzes the reading of a number from text and its rounding to 16 bits.

#include <QString>
#include <cmath>
#include <cstdlib>

#include "reading/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Both as UTF-8 text and as raw UTF-16 code units, so any character can occur.
  for (const QString& text : {QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)),
                              QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2))}) {
    const auto value = vesk::number_from_text(text.toStdU16String());
    if (!value) continue;  // too large for a double: allowed, and reported
    const auto rounded = vesk::round_to_16_bits(*value);
    // Finite; refused only when the nearest integer lies outside 16 bits; else within half a unit.
    if (!std::isfinite(*value) || (!rounded && *value > -32768.5 && *value < 32767.5) ||
        (rounded && std::abs(*rounded - *value) > 0.5))
      std::abort();
  }
  return 0;
}
