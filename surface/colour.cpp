#include "surface/colour.h"

namespace vesk {
namespace {

constexpr Colour kSystemColourFlag = 0x80000000;

// Classic desktop defaults. Only indices 9 and 15 are used by the program; any
// other index falls back to black so an unknown colour is visible, not random.
QRgb system_colour(unsigned index) {
  switch (index) {
    case 9: return qRgb(0xFF, 0xFF, 0xFF);   // active title-bar text
    case 15: return qRgb(0xF0, 0xF0, 0xF0);  // button face
    default: return qRgb(0, 0, 0);
  }
}

}  // namespace

QRgb to_rgb(Colour colour) {
  if (colour & kSystemColourFlag) return system_colour(colour & 0xFF);
  return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

}  // namespace vesk
