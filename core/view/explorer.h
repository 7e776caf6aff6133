#pragma once
// The exploring session: everything a user does to the plot, as calls, and
// everything the window shows, as answers. The window only feeds it its
// controls' events and shows what it says; tests drive it without a window.
//
// The story of a session:
// - A plot command reads the boxes (reading/plot_input.h) and shows their range
//   with the unit grid, as it always has. Its clarity and mode stay for what follows.
// - Each step of the view (wheel, drag, keys, pinch, a box, fit y, home, back
//   and forward) moves a view of doubles, to any depth (steps.h); the picture
//   then shows that view with the numbered frame (plot/numbers.h), and the
//   curve from the plot command's samples. The boxes show the view rounded
//   outward to whole numbers. A burst of notches about one point returns
//   exactly to its start when turned back. Typing into a box makes the next
//   step start afresh from what the boxes say.
// - The study: key points marked (K), numbers shown or hidden (N), a trace (T)
//   along the curve that the view keeps in sight, by pixel columns or by the
//   samples themselves, or to an x typed (go_to).
// - Each call answers with what a screen reader is to say; the picture, the
//   boxes, the readout, the ticks of the menu come from the accessors below,
//   all from one state.

#include <QPoint>
#include <QPointF>
#include <QString>
#include <optional>

#include "plot/plot_request.h"
#include "reading/plot_input.h"
#include "sound/curve_sound.h"
#include "view/history.h"
#include "view/steps.h"

namespace vesk {

// The view keys: the arrows pan by a tenth of the width or height, + and − zoom about the centre.
enum class ViewKey { left, right, up, down, zoom_in, zoom_out };

// A line for a screen reader: at once, or once a burst of steps has settled.
struct Said {
  QString line;
  bool when_settled = false;
  friend bool operator==(const Said&, const Said&) = default;
};

// The sweep's lengths in the window: 3 seconds at the start, halved or doubled in steps (the command line's
// --duration takes any from 0.5 to 60).
constexpr double kSweepShortest = 0.75, kSweepLongest = 48.0;

class Explorer {
 public:
  // The start-up: the frame for the range the boxes hold (they must hold one).
  explicit Explorer(const BoxTexts& boxes);

  // Plot commands, and typing into the range boxes.
  PlotCheck plot(const BoxTexts& boxes, PlotMode mode, qint64 now_ms);
  void typed(const BoxTexts& boxes);

  // Steps of the view. Pixel positions are those of the picture (0.0 the
  // centre of its first pixel); `now_ms` a steady clock, for the history's bursts.
  Said wheel(QPoint angle_delta, QPointF at, ZoomAxes axes, qint64 now_ms);
  Said key(ViewKey key, qint64 now_ms);
  void drag_started(QPointF at);
  Said dragged_to(QPointF at, qint64 now_ms);
  void drag_ended();
  Said pinched(double scale_change, QPointF at, qint64 now_ms);
  Said boxed_to(QPointF corner, QPointF other_corner, qint64 now_ms);
  Said fit_y(qint64 now_ms);
  Said home(qint64 now_ms);
  Said back();
  Said forward();

  // The study of the curve.
  Said toggle_key_points();
  Said toggle_numbers();
  // H's sweep half (direction < 0) or twice as long, from kSweepShortest to kSweepLongest seconds.
  Said change_sweep(int direction);
  // The quiet tone at y = 0 in H's sweep: on at the start.
  Said toggle_reference();
  // The ticks at the x grid lines in H's sweep: off at the start.
  Said toggle_ticks();
  // H's sweep of the picture, in stereo (with `from_marker`, from the trace's marker to the right edge) and what is
  // said as it starts; or no sound, and why there is nothing to hear.
  struct Sweep {
    std::optional<CurveSound> sound;
    QString line;
  };
  Sweep sweep(bool from_marker) const;
  Said toggle_trace(qint64 now_ms);
  Said end_trace();
  // One pixel column, or to the neighbouring sample of the last plot's clarity.
  Said trace_step(int direction, bool by_sample, qint64 now_ms);
  // To the next key point in view right of the marker (direction > 0) or left of it.
  Said trace_to_key_point(int direction, qint64 now_ms);
  // The trace's marker to the x that `text` reads as (as a box reads it);
  // a reason when it cannot be.
  std::optional<QString> go_to(const QString& text, qint64 now_ms);
  // Where the marker stands, said: a key point under it named first.
  Said trace_said() const;
  void pointer(std::optional<QPointF> at);
  std::optional<QPointF> pointer_position() const { return pointer_; }

  // What the window shows.
  Bounds view() const { return view_; }
  RoundedRange boxes() const { return outward(view_); }
  PlotRequest picture() const;
  bool cleared() const { return cleared_; }  // the last plot command was refused: the area is empty
  std::optional<QPointF> trace_point() const;
  bool key_points_on() const { return marks_; }
  bool numbers_on() const { return numbers_; }
  double sweep_seconds() const { return sweep_seconds_; }
  bool reference_on() const { return reference_; }
  bool ticks_on() const { return ticks_; }
  bool trace_on() const { return trace_x_.has_value(); }
  // The line above the buttons, its numbers with at most `digits` significant
  // digits where the line's room asks for fewer, and what copying it puts on
  // the clipboard (x<TAB>f(x), with <TAB>f′(x) in a trace, every digit).
  QString readout(int digits = 17) const;
  QString copied_values() const;
  QString description() const;

 private:
  struct ZoomBurst {
    Bounds start;
    QPointF pixel;  // where the pointer stands in the picture
    int notches_x = 0;
    int notches_y = 0;
  };
  Said step_to(Bounds view, Gesture gesture, qint64 now_ms);  // recorded in the history
  Said show(Bounds view);
  Said zoom(QPointF pixel, int notches, ZoomAxes axes, Gesture gesture, qint64 now_ms);
  Said trace_to(double x, qint64 now_ms);

  PlotRequest command_;        // the last plot command's (or the start-up's) request
  bool cleared_ = false;
  Bounds view_;                // what the picture shows
  bool explored_ = false;      // a step since the command: the view, with the numbered frame
  ViewHistory history_;
  std::optional<ZoomBurst> burst_;
  WheelNotches wheel_;
  std::optional<std::pair<Bounds, QPointF>> drag_;  // the view and the pointer at the press
  std::optional<QPointF> pointer_;
  std::optional<double> trace_x_;
  bool marks_ = false;
  bool numbers_ = true;
  double sweep_seconds_ = 3.0;
  bool reference_ = true;
  bool ticks_ = false;
};

}  // namespace vesk
