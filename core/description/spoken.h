#pragma once
// The plot in words, for a screen reader: what the plot area shows when a
// listener asks (its description), and the short lines said as things happen.
//
// Numbers are said as a listener needs them: a key point's own values with
// four significant digits whatever the view; what the view shows (its bounds,
// a trace's step) with as many digits as a pixel resolves, however deep, so
// that two bounds or two steps never sound the same; the sign as the word
// "minus" (a synthesizer may read "-" as a dash or not at all); "times 10 to
// the" for what plain would take more than a dozen digits for; and 0 for a
// value the view cannot tell from 0 (half a pixel) or a slope within a few
// units in the last place of its terms.

#include <QString>
#include <optional>

#include "plot/plot_request.h"

namespace vesk {

// `value` in words, with `resolution` the least difference the view shows (0: a value known to the last bit).
QString spoken_number(double value, double resolution = 0.0);

// What the study of the curve has on: marks, and the trace's x.
struct Study {
  bool marks = false;
  std::optional<double> trace;
};

// The view, the command and clarity (or the frame alone), where the curve
// comes into the view and leaves it (and whether it is above or below where
// it is not in view), the key points in view in both x and y, and the study.
// Without a request, the empty area a refused plot command leaves.
QString describe_plot(const std::optional<PlotRequest>& shown, Bounds view, Study study);

// "Plotted by line, x from 0 to 2, y from minus 1 to 10."
QString spoken_plot(const PlotRequest& request);
// "x from minus 7 to 7, y from minus 7 to 7."
QString spoken_view(Bounds view);
// "Key points shown: minimum at x minus 1.639, y minus 7.476." or "Key points hidden."
QString spoken_key_points(Bounds view, bool shown);
// "x minus 1.2, f 3.4, slope 5.6": a trace's marker.
QString spoken_trace(double x, Bounds view);
// What the curve's sound sweeps, and the y its lowest and highest pitches stand for; whether key points are so close
// together that their cues follow one another rather than stand at their x.
QString spoken_playing(Bounds view, bool cues_crowded = false);

}  // namespace vesk
