#include "sound/curve_sound.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <utility>

#include "plot/numbers.h"
#include "plot/plot.h"
#include "plot/quartic.h"

namespace vesk {
namespace {

// Peaks at full scale 1: the tone's at kHighestPitch (more below it, up to 0.54 at the bottom: loudness_weight), the
// soft tone beyond the view a quarter of the tone's at its pitch. All at once stay below 0.9.
constexpr double kToneLevel = 0.25, kOutsideShare = 0.25, kNoiseLevel = 0.06, kCueLevel = 0.25, kReferenceLevel = 0.05;
constexpr double kTremoloHz = 8.0;
constexpr double kFadeSeconds = 0.005;
// Loudness glides with a time constant of 3 ms: fast enough to follow the curve
// out of the view, slow enough not to click.
const double kGlide = 1.0 - std::exp(-1.0 / (0.003 * kSampleRate));
// A glided pitch's share of the way left each frame, in octaves: 1 % of it left after kPitchGlideSeconds.
const double kPitchGlide = 1.0 - std::pow(0.01, 1.0 / (kPitchGlideSeconds * kSampleRate));

std::int64_t frames_for(double seconds) { return std::max<std::int64_t>(1, std::llround(seconds * kSampleRate)); }

// f in Horner's form: within a few units in the last place of the picture's own
// evaluation (plot/quartic.h), far below what a pitch can tell, and without its
// four calls of pow a frame, which would take most of the sound's time.
double curve_at(double x) { return (((x + 1) * x - 2) * x + 3) * x; }

// Nearest, halves away from zero, without a call a frame.
std::int16_t nearest(double v) { return std::int16_t(v >= 0 ? int(v + 0.5) : -int(0.5 - v)); }

// The tremolo's swell (0.6 … 1) at a time, a triangle: a soft sound with no sine to take a frame.
double swell(double seconds) {
  const double phase = seconds * kTremoloHz - std::floor(seconds * kTremoloHz);
  return 0.6 + 0.4 * std::abs(2 * phase - 1);
}

// A burst of `pitch` in a Hann window, `seconds` after its start, `length` long.
double burst(double seconds, double length, double pitch) {
  if (seconds <= 0 || seconds >= length) return 0.0;
  return (0.5 - 0.5 * std::cos(2 * std::numbers::pi * seconds / length)) * std::sin(2 * std::numbers::pi * pitch * seconds);
}

// A grid tick: a short burst above every other sound, faint: heard as a ruler's mark, not as a key point.
constexpr double kGridTickPitch = 5000.0, kGridTickSeconds = 0.003, kGridTickLevel = 0.1;
constexpr double kTickPitch = 2000.0, kLowCuePitch = 1800.0, kHighCuePitch = 2700.0, kTapPitch = 3200.0;
constexpr double kPairPart = 0.015, kPairRest = 0.01, kTap = 0.006, kTapRest = 0.008;

// The 60-phon contour of ISO 226:2003 at its third-octave frequencies from 160 to 2,000 Hz (dB SPL).
constexpr std::array<std::pair<double, double>, 12> kSixtyPhon{{{160, 72.47}, {200, 69.86}, {250, 67.53}, {315, 65.39},
                                                                 {400, 63.45}, {500, 62.05}, {630, 60.81}, {800, 59.89},
                                                                 {1000, 60.01}, {1250, 62.15}, {1600, 63.19}, {2000, 59.96}}};

}  // namespace

double cue_length(CueKind kind) {
  switch (kind) {
    case CueKind::root: return 0.012;
    case CueKind::minimum:
    case CueKind::maximum: return 2 * kPairPart + kPairRest;
    case CueKind::inflection: return 2 * kTap + kTapRest;
    case CueKind::zero: return 0.02;
  }
  return 0.0;
}

double cue_sample(CueKind kind, double seconds) {
  switch (kind) {
    case CueKind::root: return burst(seconds, cue_length(kind), kTickPitch);
    case CueKind::minimum:
    case CueKind::maximum: {
      const bool rising = kind == CueKind::minimum;
      return burst(seconds, kPairPart, rising ? kLowCuePitch : kHighCuePitch) +
             burst(seconds - kPairPart - kPairRest, kPairPart, rising ? kHighCuePitch : kLowCuePitch);
    }
    case CueKind::inflection: return 0.5 * (burst(seconds, kTap, kTapPitch) + burst(seconds - kTap - kTapRest, kTap, kTapPitch));
    case CueKind::zero: {
      // A wood block: struck in half a millisecond, dying away in a few, two partials not in tune with each other.
      const double length = cue_length(kind);
      if (seconds <= 0 || seconds >= length) return 0.0;
      const double envelope = std::min(1.0, seconds / 0.0005) * std::exp(-seconds / 0.003) *
                              std::min(1.0, (length - seconds) / 0.005);
      return envelope * (std::sin(2 * std::numbers::pi * 900 * seconds) + 0.5 * std::sin(2 * std::numbers::pi * 2400 * seconds)) / 1.5;
    }
  }
  return 0.0;
}

double loudness_weight(double pitch) {
  const auto at = [](double hertz) {  // the contour, straight between its frequencies on a logarithmic scale
    const auto above = std::lower_bound(kSixtyPhon.begin() + 1, kSixtyPhon.end() - 1, hertz,
                                        [](const auto& point, double h) { return point.first < h; });
    const auto below = above - 1;
    const double u = std::log(hertz / below->first) / std::log(above->first / below->first);
    return below->second + (above->second - below->second) * u;
  };
  static const double top = at(kHighestPitch);  // once: this is asked every frame
  return std::pow(10.0, (at(pitch) - top) / 20);
}

double pitch_for(double y, Bounds view) {
  const double u = std::clamp((y - view.y_from) / (view.y_to - view.y_from), 0.0, 1.0);
  return kLowestPitch * std::exp2(3.0 * u);  // three octaves: kHighestPitch / kLowestPitch = 2³
}

CurveSound::CurveSound(const PlotRequest& request, double x_start, double x_end, double seconds, Channels channels)
    : request_(request),
      view_(request.shown()),
      x_start_(x_start),
      x_end_(x_end),
      frames_(frames_for(seconds)),
      channels_(int(channels)) {
  const std::int64_t c = std::max(request.clarity, 0);
  if (request.view) {
    lowest_ = std::numeric_limits<std::int64_t>::min() / 2;
    highest_ = std::numeric_limits<std::int64_t>::max() / 2;
  } else {
    lowest_ = std::int64_t(request.range.x1r) * c;
    highest_ = std::int64_t(request.range.x2r) * c;
  }
}

CurveSound::CurveSound(const PlotRequest& request, double seconds, Channels channels)
    : CurveSound(request, request.shown().x_from, request.shown().x_to, seconds, channels) {
  add_cues();
}

CurveSound CurveSound::from_x(const PlotRequest& request, double x, double seconds, Channels channels) {
  const Bounds view = request.shown();
  const double start = std::clamp(x, view.x_from, view.x_to);
  CurveSound sound(request, start, view.x_to,
                   std::max(kShortestSeconds, seconds * (view.x_to - start) / (view.x_to - view.x_from)), channels);
  sound.add_cues();
  return sound;
}

void CurveSound::add_cues() {
  // Each at its x's time, within what the sweep runs over.
  const auto at = [&](double x) { return (x - x_start_) / (x_end_ - x_start_) * double(frames_ - 1) / kSampleRate; };
  const auto swept = [&](double x) { return x >= x_start_ && x <= x_end_ && x_end_ > x_start_; };
  for (const KeyPoint& point : key_points_in(view_))
    if (swept(point.x) && point.y >= view_.y_from && point.y <= view_.y_to) cues_ << Cue{at(point.x), CueKind(point.kind)};
  if (swept(0.0)) cues_ << Cue{at(0.0), CueKind::zero};
  keep_cues_apart();
}

void CurveSound::add_grid_ticks() {
  const double width = view_.x_to - view_.x_from;
  if (exact_ || !(x_end_ > x_start_) || !(width > 0)) return;
  const double drawn = request_.view ? grid_spacing(width, kPictureSize.width) : 1.0;
  const double seconds_per_unit = double(frames_ - 1) / kSampleRate / (x_end_ - x_start_);
  if (!(drawn * seconds_per_unit > 0)) return;  // a sound of a frame: nothing to tick
  double every = 1;  // a tick every so many lines: 1, 2, 5, 10, 20 …
  while (drawn * every * seconds_per_unit < kTickGap)
    every *= std::lround(every / std::pow(10.0, std::floor(std::log10(every)))) == 2 ? 2.5 : 2.0;
  const double last = double(frames_) / kSampleRate - kGridTickSeconds / 2;
  ticks_.clear();
  for (const double x : grid_values(x_start_, x_end_, drawn * every))
    ticks_ << std::clamp((x - x_start_) * seconds_per_unit, kGridTickSeconds / 2, last);  // whole at the edges
}

void CurveSound::keep_cues_apart() {
  // In time order, a key point's cue before the knock at the same x; each kCueGap at least after the one before,
  // and whole within the sound (at a view's edge no fade takes it), shifted back from the end if need be.
  std::stable_sort(cues_.begin(), cues_.end(), [](const Cue& a, const Cue& b) { return a.seconds < b.seconds; });
  const auto half = [&](qsizetype i) { return cue_length(cues_[i].kind) / 2; };
  const auto apart = [&](qsizetype i) { return half(i - 1) + half(i) + kCueGap; };  // the middles of i - 1 and i
  // Crowded: key points, not the root at 0 and its knock, which always meet.
  for (qsizetype i = 1; i < cues_.size(); ++i)
    crowded_ = crowded_ || (cues_[i].seconds - cues_[i - 1].seconds < apart(i) && cues_[i].kind != CueKind::zero &&
                            cues_[i - 1].kind != CueKind::zero);
  const double duration = double(frames_) / kSampleRate;
  for (qsizetype i = 0; i < cues_.size(); ++i)
    cues_[i].seconds = std::max(cues_[i].seconds, i == 0 ? half(i) : cues_[i - 1].seconds + apart(i));
  for (qsizetype i = cues_.size() - 1; i >= 0; --i)
    cues_[i].seconds = std::max(half(i), std::min(cues_[i].seconds, i == cues_.size() - 1 ? duration - half(i)
                                                                                          : cues_[i + 1].seconds - apart(i + 1)));
}

CurveSound CurveSound::trace_tone(const PlotRequest& request, double x, Channels channels) {
  CurveSound sound(request, x, x, kTraceToneSeconds, channels);
  sound.exact_ = true;
  if (const auto point = key_point_under(sound.view_, x))
    sound.cues_ << Cue{kTraceToneSeconds / 2, CueKind(point->kind)};
  sound.reference_ = false;  // a tone alone has nothing to be measured against
  return sound;
}

bool CurveSound::glide_to(const CurveSound& next) {
  if (!exact_ || !next.exact_ || next.channels_ != channels_ || frames_ - position_ <= frames_for(kFadeSeconds)) return false;
  const double now = double(position_) / kSampleRate;
  cues_.removeIf([now](const Cue& cue) { return cue.seconds + cue_length(cue.kind) / 2 <= now; });
  for (Cue cue : next.cues_) {
    cue.seconds += now;
    if (!cues_.isEmpty()) {  // a cue still sounding from the steps before ends first, as in a sweep
      const Cue& last = cues_.back();
      cue.seconds = std::max(cue.seconds, last.seconds + (cue_length(last.kind) + cue_length(cue.kind)) / 2 + kCueGap);
    }
    cues_ << cue;
  }
  request_ = next.request_;
  view_ = next.view_;
  x_start_ = next.x_start_;
  x_end_ = next.x_end_;
  frames_ = position_ + next.frames_;
  if (!cues_.isEmpty())  // the last cue whole before the fade
    frames_ = std::max(frames_, frames_for(cues_.back().seconds + cue_length(cues_.back().kind) / 2 + kFadeSeconds));
  gliding_ = true;
  return true;
}

void CurveSound::lengthen(double seconds) {
  if (exact_ && frames_ - position_ > frames_for(kFadeSeconds)) frames_ += frames_for(seconds);
}

std::optional<double> CurveSound::drawn_value(double x) const {
  if (exact_) return quartic(x);  // the trace's marker, as its readout gives it
  const int c = request_.clarity;
  if (c <= 0 || request_.mode == PlotMode::frame_only) return std::nullopt;
  if (request_.mode == PlotMode::point) {
    const auto n = std::clamp(std::int64_t(std::llround(x * c)), lowest_, highest_);
    if (highest_ < lowest_) return std::nullopt;
    return curve_at(double(n) / c);
  }
  if (highest_ - lowest_ < 1) return std::nullopt;  // fewer than two samples: no segment
  const auto n = std::clamp(std::int64_t(std::floor(x * c)), lowest_, highest_ - 1);
  const double x0 = double(n) / c, x1 = double(n + 1) / c;
  const double y0 = curve_at(x0), y1 = curve_at(x1);
  return y0 + (y1 - y0) * std::clamp(x * c - double(n), 0.0, 1.0);
}

double CurveSound::next_noise() {
  // xorshift32: the same noise for the same view, every time.
  noise_state_ ^= noise_state_ << 13;
  noise_state_ ^= noise_state_ >> 17;
  noise_state_ ^= noise_state_ << 5;
  return double(noise_state_) / 2147483648.0 - 1.0;
}

std::int64_t CurveSound::fill(std::int16_t* out, std::int64_t count) {
  clear_upper_vector_state();
  const std::int64_t end = std::min(frames_, position_ + count);
  const std::int64_t written = end - position_, start = position_;
  double left = 1.0, right = 0.0;
  const double last = double(std::max<std::int64_t>(frames_ - 1, 1));
  const std::int64_t fade = frames_for(kFadeSeconds);
  const bool reference = reference_ && view_.y_from < 0 && view_.y_to > 0;
  const double reference_step = 2 * std::numbers::pi * pitch_for(0.0, view_) / kSampleRate;
  const double reference_level = kReferenceLevel * loudness_weight(pitch_for(0.0, view_));
  for (; position_ < end; ++position_) {
    const double progress = double(position_) / last;
    const double seconds = double(position_) / kSampleRate;
    const double x = x_start_ + (x_end_ - x_start_) * progress;

    double pitch = kLowestPitch, target = 0.0, noise_target = 0.0;
    if (const std::optional<double> y = drawn_value(x)) {
      pitch = pitch_for(*y, view_);
      if (gliding_ && pitch_ > 0) pitch = pitch_ * std::pow(pitch / pitch_, kPitchGlide);
      const bool outside = *y > view_.y_to || *y < view_.y_from;
      target = kToneLevel * loudness_weight(pitch) * (outside ? kOutsideShare * swell(seconds) : 1.0);
      noise_target = noise_ && *y < 0 ? kNoiseLevel : 0.0;
    }
    loudness_ += (target - loudness_) * kGlide;
    noise_level_ += (noise_target - noise_level_) * kGlide;
    pitch_ = pitch;
    phase_ += 2 * std::numbers::pi * pitch / kSampleRate;
    if (phase_ >= 2 * std::numbers::pi) phase_ -= 2 * std::numbers::pi;

    double steady = loudness_ * std::sin(phase_) + noise_level_ * next_noise();
    if (reference) {
      reference_phase_ += reference_step;
      if (reference_phase_ >= 2 * std::numbers::pi) reference_phase_ -= 2 * std::numbers::pi;
      steady += reference_level * std::sin(reference_phase_);
    }
    double value = steady * std::min({1.0, double(position_ + 1) / fade, double(frames_ - position_) / fade});
    for (const Cue& cue : cues_) {
      const double length = cue_length(cue.kind), from_start = seconds - cue.seconds + length / 2;
      if (from_start > 0 && from_start < length) value += kCueLevel * cue_sample(cue.kind, from_start);
    }
    // Ticks in time order, a frame's few at most: those over are passed once, not looked at every frame.
    for (; next_tick_ < ticks_.size() && ticks_[next_tick_] + kGridTickSeconds / 2 <= seconds; ++next_tick_) {}
    for (qsizetype t = next_tick_; t < ticks_.size() && ticks_[t] - kGridTickSeconds / 2 < seconds; ++t)
      value += kGridTickLevel * burst(seconds - ticks_[t] + kGridTickSeconds / 2, kGridTickSeconds, kGridTickPitch);

    const std::int16_t level = nearest(std::clamp(value, -1.0, 1.0) * 32767.0);
    if (channels_ == 1) {
      *out++ = level;
    } else {
      // Where x stands in the view, at equal power: as loud in the middle as at either side. Every 32 frames
      // (0.7 ms), which no ear tells from every frame.
      if (position_ % 32 == 0 || position_ == start) {
        const double block_x = x_start_ + (x_end_ - x_start_) * double(position_ / 32 * 32) / last;
        const double side = std::clamp((block_x - view_.x_from) / (view_.x_to - view_.x_from), 0.0, 1.0) * std::numbers::pi / 2;
        left = std::cos(side);
        right = std::sin(side);
      }
      *out++ = nearest(level * left);
      *out++ = nearest(level * right);
    }
  }
  return written;
}

QByteArray wav_header(std::int64_t frames, int channels) {
  const auto data_bytes = std::uint32_t(frames * channels * 2);
  QByteArray header(44, '\0');
  char* h = header.data();
  const auto put16 = [&](int at, std::uint16_t v) { qToLittleEndian(v, h + at); };
  const auto put32 = [&](int at, std::uint32_t v) { qToLittleEndian(v, h + at); };
  std::memcpy(h, "RIFF", 4);
  put32(4, 36 + data_bytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);  // PCM
  put16(22, std::uint16_t(channels));
  put32(24, kSampleRate);
  put32(28, std::uint32_t(kSampleRate * channels * 2));
  put16(32, std::uint16_t(channels * 2));
  put16(34, 16);
  std::memcpy(h + 36, "data", 4);
  put32(40, data_bytes);
  return header;
}

QByteArray wav_file(CurveSound sound) {
  QByteArray bytes = wav_header(sound.frames(), sound.channels());
  const qsizetype header = bytes.size();
  bytes.resize(header + qsizetype(sound.frames()) * sound.channels() * 2);
  auto* samples = reinterpret_cast<std::int16_t*>(bytes.data() + header);
  const std::int64_t count = sound.fill(samples, sound.frames()) * sound.channels();
  for (std::int64_t i = 0; i < count; ++i) samples[i] = qToLittleEndian(samples[i]);  // the file's order
  return bytes;
}

}  // namespace vesk
