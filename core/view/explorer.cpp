#include "view/explorer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "description/spoken.h"
#include "key_points/key_points.h"
#include "plot/plot.h"
#include "plot/quartic.h"
#include "reading/number_text.h"

namespace vesk {
namespace {

constexpr QPointF kCentre((kPictureSize.width - 1) / 2.0, (kPictureSize.height - 1) / 2.0);  // of the picture

PlotRequest start_up(const BoxTexts& boxes) { return std::get<PlotRequest>(check_plot_input(boxes, PlotMode::frame_only)); }

}  // namespace

Explorer::Explorer(const BoxTexts& boxes)
    : command_(start_up(boxes)), view_(bounds_of(command_.range)), history_(view_) {}

PlotCheck Explorer::plot(const BoxTexts& boxes, PlotMode mode, qint64 now_ms) {
  const PlotCheck check = check_plot_input(boxes, mode);
  cleared_ = !std::holds_alternative<PlotRequest>(check);
  if (cleared_) return check;
  command_ = std::get<PlotRequest>(check);
  view_ = bounds_of(command_.range);
  explored_ = false;
  burst_.reset();
  history_.record(view_, Gesture::other, now_ms);
  return check;
}

void Explorer::typed(const BoxTexts& boxes) {
  const PlotCheck check = check_plot_input(boxes, command_.mode);
  if (const auto* request = std::get_if<PlotRequest>(&check)) view_ = bounds_of(request->range);
  burst_.reset();
}

Said Explorer::step_to(Bounds view, Gesture gesture, qint64 now_ms) {
  history_.record(view, gesture, now_ms);
  if (gesture != Gesture::wheel && gesture != Gesture::key) burst_.reset();
  // A wheel turn during a drag: the drag goes on from the new view.
  if (gesture != Gesture::drag && drag_ && pointer_) drag_ = {view, *pointer_};
  return show(view);
}

Said Explorer::show(Bounds view) {
  const bool changed = view != view_ || !explored_ || cleared_;
  view_ = view;
  explored_ = true;
  cleared_ = false;
  if (!changed) return {};
  if (trace_x_) return {spoken_trace(*trace_x_, view_), true};
  return {spoken_view(view_), true};
}

Said Explorer::zoom(QPointF pixel, int notches, ZoomAxes axes, Gesture gesture, qint64 now_ms) {
  if (notches == 0) return {};
  // A burst about one point counts from its start, so that it returns there exactly.
  if (!burst_ || burst_->pixel != pixel || view_ != zoomed(burst_->start, burst_->pixel, burst_->notches_x, burst_->notches_y))
    burst_ = ZoomBurst{view_, pixel};
  if (axes != ZoomAxes::y_only) burst_->notches_x += notches;
  if (axes != ZoomAxes::x_only) burst_->notches_y += notches;
  return step_to(zoomed(burst_->start, pixel, burst_->notches_x, burst_->notches_y), gesture, now_ms);
}

Said Explorer::wheel(QPoint angle_delta, QPointF at, ZoomAxes axes, qint64 now_ms) {
  // A platform may turn Shift+wheel into a horizontal turn: then the horizontal angle counts.
  const int delta = angle_delta.y() != 0 || axes == ZoomAxes::both ? angle_delta.y() : angle_delta.x();
  return zoom(at, wheel_.add(delta), axes, Gesture::wheel, now_ms);
}

Said Explorer::key(ViewKey key, qint64 now_ms) {
  const double tenth_x = (view_.x_to - view_.x_from) / 10, tenth_y = (view_.y_to - view_.y_from) / 10;
  switch (key) {
    case ViewKey::left: return step_to(panned(view_, -tenth_x, 0), Gesture::key, now_ms);
    case ViewKey::right: return step_to(panned(view_, tenth_x, 0), Gesture::key, now_ms);
    case ViewKey::up: return step_to(panned(view_, 0, tenth_y), Gesture::key, now_ms);
    case ViewKey::down: return step_to(panned(view_, 0, -tenth_y), Gesture::key, now_ms);
    case ViewKey::zoom_in: return zoom(kCentre, 1, ZoomAxes::both, Gesture::key, now_ms);
    case ViewKey::zoom_out: return zoom(kCentre, -1, ZoomAxes::both, Gesture::key, now_ms);
  }
  return {};
}

void Explorer::drag_started(QPointF at) { drag_ = {view_, at}; }

Said Explorer::dragged_to(QPointF at, qint64 now_ms) {
  if (!drag_) return {};
  return step_to(dragged(drag_->first, drag_->second, at), Gesture::drag, now_ms);
}

void Explorer::drag_ended() {
  drag_.reset();
  history_.end_burst();
}

Said Explorer::pinched(double scale_change, QPointF at, qint64 now_ms) {
  if (!(scale_change > -1)) return {};
  return step_to(scaled(view_, user_point(view_, at), 1 / (1 + scale_change)), Gesture::pinch, now_ms);
}

Said Explorer::boxed_to(QPointF corner, QPointF other_corner, qint64 now_ms) {
  return step_to(boxed(view_, corner, other_corner), Gesture::other, now_ms);
}

Said Explorer::fit_y(qint64 now_ms) { return step_to(fitted_y(view_), Gesture::other, now_ms); }
Said Explorer::home(qint64 now_ms) { return step_to(bounds_of(command_.range), Gesture::other, now_ms); }

Said Explorer::back() {
  const std::optional<Bounds> view = history_.back();
  if (!view) return {};
  burst_.reset();
  return show(*view);
}

Said Explorer::forward() {
  const std::optional<Bounds> view = history_.forward();
  if (!view) return {};
  burst_.reset();
  return show(*view);
}

Said Explorer::toggle_key_points() {
  marks_ = !marks_;
  return {spoken_key_points(view_, marks_)};
}

Said Explorer::toggle_numbers() {
  numbers_ = !numbers_;
  return {numbers_ ? QStringLiteral("Numbers shown.") : QStringLiteral("Numbers hidden.")};
}

Said Explorer::change_sweep(int direction) {
  const double next = direction < 0 ? sweep_seconds_ / 2 : sweep_seconds_ * 2;
  if (next < kSweepShortest || next > kSweepLongest)
    return {QStringLiteral("The sweep is already as %1 as it goes: %2 seconds.")
                .arg(direction < 0 ? QStringLiteral("short") : QStringLiteral("long"), spoken_number(sweep_seconds_))};
  sweep_seconds_ = next;
  return {QStringLiteral("Sweep of %1 seconds.").arg(spoken_number(sweep_seconds_))};
}

Said Explorer::toggle_reference() {
  reference_ = !reference_;
  return {reference_ ? QStringLiteral("Reference tone at y = 0 on.") : QStringLiteral("Reference tone at y = 0 off.")};
}

Said Explorer::toggle_ticks() {
  ticks_ = !ticks_;
  return {ticks_ ? QStringLiteral("Grid ticks on.") : QStringLiteral("Grid ticks off.")};
}

Explorer::Sweep Explorer::sweep(bool from_marker) const {
  const PlotRequest shown = picture();
  if (cleared_ || shown.mode == PlotMode::frame_only)
    return {std::nullopt, QStringLiteral("Nothing to hear yet: plot by line or by point first.")};
  if (shown.clarity <= 0)
    return {std::nullopt, QStringLiteral("Nothing to hear: a clarity of %1 takes no sample.").arg(shown.clarity)};
  if (from_marker && !trace_x_)
    return {std::nullopt, QStringLiteral("No marker: T starts the trace, then Shift+H plays from it.")};
  Bounds swept = shown.shown();
  if (from_marker) swept.x_from = std::clamp(*trace_x_, swept.x_from, swept.x_to);
  CurveSound sound = from_marker ? CurveSound::from_x(shown, swept.x_from, sweep_seconds_, Channels::stereo)
                                 : CurveSound(shown, sweep_seconds_, Channels::stereo);
  if (!reference_) sound.leave_out_reference();
  if (ticks_) sound.add_grid_ticks();
  const QString line = spoken_playing(swept, sound.cues_crowded());
  return {std::move(sound), line};
}

Said Explorer::toggle_trace(qint64 now_ms) {
  if (trace_x_) return end_trace();
  const QPointF at = pointer_.value_or(QPointF((kPictureSize.width - 1) / 2.0, (kPictureSize.height - 1) / 2.0));
  const Said said = trace_to(user_point(view_, at).x(), now_ms);
  return {QStringLiteral("Trace on: ") + said.line};
}

Said Explorer::end_trace() {
  if (!trace_x_) return {};
  trace_x_.reset();
  return {QStringLiteral("Trace off.")};
}

Said Explorer::trace_to(double x, qint64 now_ms) {
  trace_x_ = std::clamp(x, kLowest, kHighest);
  const double f = quartic(*trace_x_);
  const Bounds followed = following(view_, QPointF(*trace_x_, f));
  if (followed != view_) step_to(followed, Gesture::key, now_ms);
  return trace_said();
}

Said Explorer::trace_said() const {
  if (!trace_x_) return {};
  const double f = quartic(*trace_x_);
  // No view reaches past the number range: the marker there is out of sight, and said to be.
  const QString beyond = f > kHighest || f < kLowest ? QStringLiteral(" f lies beyond the number range: the view cannot follow it.")
                                                     : QString();
  return {spoken_trace(*trace_x_, view_) + QLatin1Char('.') + beyond, true};
}

Said Explorer::trace_to_key_point(int direction, qint64 now_ms) {
  if (!trace_x_) return {};
  std::optional<double> next;
  for (const KeyPoint& point : key_points_in(view_))
    if ((direction > 0 ? point.x > *trace_x_ : point.x < *trace_x_) && (!next || std::abs(point.x - *trace_x_) < std::abs(*next - *trace_x_)))
      next = point.x;
  if (!next) return {direction > 0 ? QStringLiteral("No key point right of the marker in view.")
                                   : QStringLiteral("No key point left of the marker in view.")};
  return trace_to(*next, now_ms);
}

Said Explorer::trace_step(int direction, bool by_sample, qint64 now_ms) {
  if (!trace_x_) return {};
  const double x = *trace_x_;
  if (!by_sample || command_.clarity <= 0)
    return trace_to(x + direction * (view_.x_to - view_.x_from) / (kPictureSize.width - 1), now_ms);
  // The neighbouring sample, from its integer numerator: exact, however many steps.
  const int clarity = command_.clarity;
  const double scaled = x * clarity, nearest = std::round(scaled);
  const bool on_a_sample = nearest / clarity == x;
  const double next = on_a_sample ? nearest + direction : direction > 0 ? std::ceil(scaled) : std::floor(scaled);
  return trace_to(next / clarity, now_ms);
}

std::optional<QString> Explorer::go_to(const QString& text, qint64 now_ms) {
  const std::optional<double> x = number_from_text(text.toStdU16String());
  if (!x || *x < kLowest || *x > kHighest)
    return QStringLiteral("x must be a number from −32768 to 32767; \"%1\" is not.").arg(text);
  trace_to(*x, now_ms);
  return std::nullopt;
}

void Explorer::pointer(std::optional<QPointF> at) { pointer_ = at; }

PlotRequest Explorer::picture() const {
  PlotRequest request = command_;
  request.marks = marks_;
  request.numbers = numbers_;
  if (explored_) request.view = view_;
  return request;
}

std::optional<QPointF> Explorer::trace_point() const {
  if (!trace_x_) return std::nullopt;
  return QPointF(*trace_x_, quartic(*trace_x_));
}

QString Explorer::readout(int digits) const {
  if (trace_x_) {
    const double x = *trace_x_, f = quartic(x);
    // Ten digits fit the line; copying takes them all.
    const QString beyond = f > kHighest || f < kLowest ? QStringLiteral("  (beyond the view's reach)") : QString();
    return QStringLiteral("trace  x = %1  f(x) = %2  f′(x) = %3%4")
        .arg(QString::number(x, 'g', std::min(digits, 10)), QString::number(f, 'g', std::min(digits, 10)),
             QString::number(quartic_slope(x), 'g', std::min(digits, 10)), beyond);
  }
  if (!pointer_) return {};
  if (const auto snapped = marks_ ? key_point_near(view_, kPictureSize, *pointer_) : std::nullopt)
    return QStringLiteral("%1  x = %2  f(x) = %3")
        .arg(kind_name(snapped->kind), digits >= 17 ? exact_text(snapped->x) : QString::number(snapped->x, 'g', digits),
             digits >= 17 ? exact_text(snapped->y) : QString::number(snapped->y, 'g', digits));
  return coordinates_text(view_, *pointer_, digits);
}

QString Explorer::copied_values() const {
  if (trace_x_) {
    const double x = *trace_x_;
    return QStringLiteral("%1\t%2\t%3").arg(exact_text(x), exact_text(quartic(x)), exact_text(quartic_slope(x)));
  }
  if (!pointer_) return {};
  if (const auto snapped = marks_ ? key_point_near(view_, kPictureSize, *pointer_) : std::nullopt)
    return QStringLiteral("%1\t%2").arg(exact_text(snapped->x), exact_text(snapped->y));
  const double x = user_point(view_, *pointer_).x();
  return QStringLiteral("%1\t%2").arg(exact_text(x), exact_text(quartic(x)));
}

QString Explorer::description() const {
  return describe_plot(cleared_ ? std::nullopt : std::optional(picture()), view_, {marks_, trace_x_});
}

}  // namespace vesk
