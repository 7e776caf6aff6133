#pragma once
// The plot's colours. The system colours are the classic desktop defaults, fixed
// so that a plot looks and saves the same on every desktop.

#include <QRgb>

namespace vesk {

inline constexpr QRgb kRed = qRgb(255, 0, 0);    // 255 as &H00BBGGRR: x axis, curve, `lin_y`
inline constexpr QRgb kGreen = qRgb(0, 255, 0);  // 65280: y axis, `lin_x`
inline constexpr QRgb kPlotBackground = qRgb(255, 255, 255);  // system colour 9, active title-bar text
inline constexpr QRgb kButtonFace = qRgb(0xF0, 0xF0, 0xF0);   // system colour 15: grid lines
// Ours, each used by nothing else in a picture: the numbers of an explored
// view's grid (dark violet), the key points' marks (blue).
inline constexpr QRgb kNumberColour = qRgb(96, 0, 128);
inline constexpr QRgb kMarkColour = qRgb(0, 0, 255);

}  // namespace vesk
