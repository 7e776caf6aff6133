#pragma once
// Colours as the plot code names them: 32-bit values &H00BBGGRR (red in the low
// byte), or &H800000nn for the system colour with index nn. System colours come
// from one fixed table, so an image is the same on every desktop.

#include <QRgb>
#include <cstdint>

namespace vesk {

using Colour = std::uint32_t;

inline constexpr Colour kRed = 255;                    // &H000000FF
inline constexpr Colour kGreen = 65280;                // &H0000FF00
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kActiveTitleText = 0x80000009;  // plot background
inline constexpr Colour kButtonFace = 0x8000000F;       // grid lines

// The screen colour of `colour`, opaque.
QRgb to_rgb(Colour colour);

}  // namespace vesk
