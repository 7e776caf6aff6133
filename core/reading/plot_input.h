#pragma once
// From the five input boxes to a plot request, or to the reason the input
// cannot be drawn. No widgets here: the window and the command line show messages.

#include <QString>
#include <variant>

#include "plot/plot_request.h"

namespace vesk {

struct BoxTexts {
  QString x1;
  QString x2;
  QString y1;
  QString y2;
  QString clarity;
};

// Input that cannot be drawn, with a message that names the box and the rule.
struct Refusal {
  QString message;
};
struct EmptyRange {};
using PlotCheck = std::variant<PlotRequest, EmptyRange, Refusal>;

// In this order: each box must read as a number a double holds; the unrounded
// bounds must give x2 > x1 and y2 > y1 (else EmptyRange); each bound and the
// clarity must round into −32768 … 32767; the rounded bounds of an axis must
// differ; the rounded clarity must not be 0.
PlotCheck check_plot_input(const BoxTexts& texts, PlotMode mode);

// The program's own message for an empty range and the title of its box,
// misspelt as they have always been: users know them so.
inline const QString kEmptyRangeText = QStringLiteral("error : empity renge");
inline const QString kEmptyRangeTitle = QStringLiteral("errore");

}  // namespace vesk
