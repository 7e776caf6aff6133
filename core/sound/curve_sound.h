#pragma once
// The curve as sound: what the window plays and --audio writes, the same
// samples for the same view.
//
// The sweep: x runs from the view's left edge to its right over the duration.
// - Pitch follows the curve as drawn (the plot's segments between its samples
//   by line, the nearest sample by point), on a logarithmic scale: the view's
//   bottom is kLowestPitch, its top kHighestPitch, three octaves between.
// - Where the curve is above the view, a soft tone at the top pitch, trembling
//   eight times a second; below it, the same at the bottom pitch.
// - Where f < 0, a quiet noise under the tone: the sign is heard.
// - A short cue at each key point in view (in x and in y), each kind told by
//   its rhythm as well as its pitch, and a knock where x = 0 if the view holds
//   it. Cues that would come closer than kCueGap of quiet wait their turn, in x
//   order (a wide view's key points would sound as one blip, and loud enough to
//   clip), and each is whole even at a view's edge.
// - A quiet steady tone at y = 0's pitch while 0 is within the view's y range:
//   the sign's line to measure the curve against.
// - Asked for, a faint high tick at each x grid line the picture draws (but
//   x = 0's, where the knock is): a ruler to count units by.
// - The curve's loudness follows the 60-phon equal-loudness contour (ISO
//   226:2003): 200 Hz is played 6.7 dB stronger than 1,600 Hz, so that the
//   two sound as loud; nothing reaches full scale, whatever meets.
// - In stereo, the sound moves from the left to the right with x.
// Where nothing is drawn (too few samples), only the cues, the knock and the
// reference sound.
// The phase runs on across every change of pitch, so nothing clicks but the
// click; loudness changes glide over a few milliseconds, and the curve's tone
// fades in and out over 5 ms.
//
// The sound is made as it is asked for (fill), in pieces of any size, so its
// memory stays the same whatever the duration and the number of samples.

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <optional>

#include "key_points/key_points.h"
#include "plot/plot_request.h"

namespace vesk {

constexpr int kSampleRate = 44100;  // frames a second
constexpr double kLowestPitch = 200.0, kHighestPitch = 1600.0;  // Hz, at the view's bottom and top
constexpr double kDefaultSeconds = 3.0, kShortestSeconds = 0.5, kLongestSeconds = 60.0;
constexpr double kTraceToneSeconds = 0.1;
constexpr double kPitchGlideSeconds = 0.02;  // a glided trace tone is this long 99 % of the way to the next pitch
constexpr double kCueGap = 0.03;  // seconds of quiet at least between one cue and the next
constexpr double kTickGap = 0.025;  // seconds at least between one grid tick and the next

// The cues, above the curve's pitches (KeyKind's order, then x = 0's): a single tick for a root, a low-high pair
// for a minimum, a high-low pair for a maximum, a soft double tap for an inflection point, a wood-block knock.
enum class CueKind { root, minimum, maximum, inflection, zero };
double cue_length(CueKind kind);  // seconds
// The cue's sound `seconds` after it begins (0 … its length), full scale 1.
double cue_sample(CueKind kind, double seconds);

// How much the curve's tone is weighted at a pitch (Hz) to sound as loud as at kHighestPitch (1 there).
double loudness_weight(double pitch);

enum class Channels { mono = 1, stereo = 2 };

// The pitch for a value in a view's y range, clamped to its edges (Hz).
double pitch_for(double y, Bounds view);

// One cue: the time of its middle from the start (seconds), and its kind.
struct Cue {
  double seconds;
  CueKind kind;
  friend bool operator==(const Cue&, const Cue&) = default;
};

class CurveSound {
 public:
  // The sweep of `request`'s picture (its view, or its range), with its samples
  // and mode; the frame alone has no curve and sounds only its cues.
  CurveSound(const PlotRequest& request, double seconds, Channels channels);
  // The same sweep's part from x (the trace's marker) to the right edge, in its share of the time (at least
  // kShortestSeconds), with the cues of that part.
  static CurveSound from_x(const PlotRequest& request, double x, double seconds, Channels channels);
  // A trace step: the tone of f at `x`, exactly, for kTraceToneSeconds, placed
  // in stereo where x lies in the view, with the cue of a key point the marker
  // stands on (key_point_under).
  static CurveSound trace_tone(const PlotRequest& request, double x, Channels channels);
  // The next trace step while this step's tone sounds: the tone goes on, one sound, its pitch gliding to `next`'s
  // (in kPitchGlideSeconds), for `next`'s length from the next frame, `next`'s cue after the last one's turn. False,
  // and nothing changed, where either is no trace tone or this one has begun its fade: the step then sounds anew.
  bool glide_to(const CurveSound& next);
  bool trace() const { return exact_; }
  // A trace tone longer by `seconds` before its fade: an output that holds that much ahead lengthens it, so that the
  // next step comes while it still sounds.
  void lengthen(double seconds);

  std::int64_t frames() const { return frames_; }
  int channels() const { return channels_; }
  const QList<Cue>& cues() const { return cues_; }
  // Whether key points came closer than their cues' lengths and kCueGap, so that some cues wait their turn.
  bool cues_crowded() const { return crowded_; }
  bool done() const { return position_ >= frames_; }

  // The next frames, interleaved, into `out` (room for `count` frames); the number written.
  std::int64_t fill(std::int16_t* out, std::int64_t count);
  // Without the cues or the noise: what the tests take apart.
  void leave_out_cues() { cues_.clear(); }
  void leave_out_noise() { noise_ = false; }
  // Without the reference tone: what the window's R and the command line's --no-reference turn off.
  void leave_out_reference() { reference_ = false; }
  // With a tick at each x grid line swept (every integer of a plot command's frame, a view's round spacing), x = 0
  // left out; where they would come closer than kTickGap, at every second, fifth, tenth … line: what the window's G
  // and the command line's --ticks add. Not in a trace tone.
  void add_grid_ticks();
  const QList<double>& ticks() const { return ticks_; }  // the time of each tick's middle from the start (seconds)

 private:
  CurveSound(const PlotRequest& request, double x_start, double x_end, double seconds, Channels channels);
  void add_cues();
  void keep_cues_apart();
  std::optional<double> drawn_value(double x) const;  // the curve as the picture draws it there
  double next_noise();

  PlotRequest request_;
  Bounds view_;
  double x_start_, x_end_;
  bool exact_ = false;  // f itself, not the drawn curve (the trace)
  std::int64_t frames_;
  int channels_;
  QList<Cue> cues_;
  QList<double> ticks_;
  qsizetype next_tick_ = 0;  // the first tick not yet over
  bool crowded_ = false;
  bool noise_ = true;
  bool reference_ = true;
  // The sample numerators the curve may use ([lowest, highest]: the plot command's, or all in a view).
  std::int64_t lowest_ = 0, highest_ = 0;

  std::int64_t position_ = 0;
  double phase_ = 0.0;       // radians of the curve's tone
  double pitch_ = 0.0;       // Hz, the tone's at the last frame made (0 before the first)
  bool gliding_ = false;     // the pitch glides to where f is rather than being there (a glided trace)
  double reference_phase_ = 0.0;
  double loudness_ = 0.0;    // the tone's, gliding to its target
  double noise_level_ = 0.0;
  std::uint32_t noise_state_ = 0x9E3779B9u;
};

// The whole sound as a RIFF WAVE file: 16-bit PCM at kSampleRate.
QByteArray wav_file(CurveSound sound);
QByteArray wav_header(std::int64_t frames, int channels);

}  // namespace vesk
