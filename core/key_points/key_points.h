#pragma once
// The curve's key points, found exactly and all of them: the real roots of
// f(x) = x⁴ + x³ − 2x² + 3x, its minima and maxima (sign changes of f′) and its
// inflection points (sign changes of f″).
//
// How: a polynomial is monotone between neighbouring roots of its derivative,
// so it has at most one root on each such piece, and one exactly where its
// signs at the piece's ends differ. The derivative's roots come the same way,
// down to a line. Each root is narrowed by bisection over the doubles
// themselves until two neighbouring doubles hold it; the nearer of the two is
// taken. Every sign is certified: evaluated in 113-bit floating point with a
// bound on its rounding error, and zero only where the value is exactly zero.

#include <QList>
#include <QPointF>
#include <optional>
#include <QString>

#include "plot/plot_request.h"

namespace vesk {

enum class KeyKind { root, minimum, maximum, inflection };
QString kind_name(KeyKind kind);  // "root", "minimum", "maximum", "inflection"

struct KeyPoint {
  KeyKind kind;
  double x;  // the double nearest the true point
  double y;  // f(x), as the plot evaluates it
  friend bool operator==(const KeyPoint&, const KeyPoint&) = default;
};

// Every key point, sorted by x (computed once).
const QList<KeyPoint>& key_points();
// The key point within half a pixel column of x in the picture of `view`: the one a trace's marker stands on.
std::optional<KeyPoint> key_point_under(Bounds view, double x);
// Those whose x lies within the view's x range.
QList<KeyPoint> key_points_in(Bounds view);

// The key point in view nearest to a pixel coordinate of the picture of
// `view`, within `radius` pixels of its mark.
std::optional<KeyPoint> key_point_near(Bounds view, PixelSize pixels, QPointF pixel, double radius = 5);
// The fewest digits that read back as the same double.
QString exact_text(double value);

// Polynomials with small integer coefficients, lowest power first, and the
// certified root finding, for the tests.
using Polynomial = QList<double>;
inline const Polynomial kQuartic{0, 3, -2, 1, 1};
Polynomial derivative(const Polynomial& p);
// -1, 0 or +1: the sign of p(x), exactly.
int certified_sign(const Polynomial& p, double x);
// The real roots where p changes sign, each the double nearest to it, sorted.
QList<double> sign_changes(const Polynomial& p);

}  // namespace vesk
