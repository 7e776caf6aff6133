#pragma once
// From the five input boxes to what the frame and the curve need, or to the
// reason the input cannot be drawn. No widgets here: the window shows messages.

#include <QString>
#include <variant>

#include "plot/frame.h"

namespace vesk {

struct RangeTexts {
  QString x1;
  QString x2;
  QString y1;
  QString y2;
};

// Input that cannot be drawn, with a message that names the box and the rule.
struct Refusal {
  QString message;
};

// The load step: the four bounds rounded to 16 bits, or a refusal when one of
// them lies outside −32768 … 32767 or the two bounds of an axis round to the
// same integer (the scale would have no width or no height).
std::variant<RoundedRange, Refusal> read_rounded_range(const RangeTexts& texts);

// The plot commands' reading, in their order: the unrounded doubles must give
// x2 > x1 and y2 > y1 (else EmptyRange), then the rounded bounds must be usable
// as above, and the clarity must round into −32768 … 32767 and not be 0.
struct PlotRequest {
  RoundedRange range;
  int clarity = 0;  // samples per unit; negative takes no sample
};
struct EmptyRange {};
using PlotCheck = std::variant<PlotRequest, EmptyRange, Refusal>;
PlotCheck check_plot_input(const RangeTexts& texts, const QString& clarity_text);

// The system's own message for an empty range, and the title of its box.
inline const QString kEmptyRangeText = QStringLiteral("error : empity renge");
inline const QString kEmptyRangeTitle = QStringLiteral("errore");

}  // namespace vesk
