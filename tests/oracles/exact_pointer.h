#pragma once
// Where the point first under the pointer lies after a change of view, computed exactly (GMP rationals) from
// the pixel's place in the first view, for the tests of zooms and drags: none of the program's mapping is used.
// A picture `pixels` wide and high shows a view with its left and top bounds at the centre of its first column
// and row and its right and bottom bounds at the centres of the last.

#include <QPointF>

#include "plot/plot_request.h"

namespace vesk::test {

// How many pixels the user point under `taken_at` in `first` lies from `now_at` in `now`.
double exact_slip(Bounds first, QPointF taken_at, Bounds now, QPointF now_at, PixelSize pixels);

}  // namespace vesk::test
