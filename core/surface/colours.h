#pragma once
// The plot's colours. The system colours are the classic desktop defaults, fixed
// so that a plot looks and saves the same on every desktop.

#include <QRgb>

namespace vesk {

inline constexpr QRgb kRed = qRgb(255, 0, 0);    // 255 as &H00BBGGRR: x axis, curve, `lin_y`
inline constexpr QRgb kGreen = qRgb(0, 255, 0);  // 65280: y axis, `lin_x`
inline constexpr QRgb kPlotBackground = qRgb(255, 255, 255);  // system colour 9, active title-bar text
inline constexpr QRgb kButtonFace = qRgb(0xF0, 0xF0, 0xF0);   // system colour 15: grid lines

}  // namespace vesk
