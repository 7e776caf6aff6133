// The curve's sound, taken apart: its pitch and loudness where the curve is, the edges and beyond them, the sign's
// noise, the reference at y = 0, each cue at its key point and told by its rhythm, no clicks, nothing at full
// scale, and the same samples however it is asked for, the command line's file included.
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

#include "command_line/command_line.h"
#include "plot/quartic.h"
#include "sound/curve_sound.h"
#include "table.h"

using namespace vesk;
using vesk::test::columns;
using vesk::test::row;
using vesk::test::table;

namespace {

std::vector<std::int16_t> samples(CurveSound sound) {
  std::vector<std::int16_t> out(size_t(sound.frames() * sound.channels()));
  sound.fill(out.data(), sound.frames());
  return out;
}

// A mono sweep of `view` by line at clarity 100 (samples of -9 … 9), as parts of it.
CurveSound sweep(Bounds view, bool cues = false, bool noise = false, PlotMode mode = PlotMode::line) {
  PlotRequest request{{-9, 9, -9, 9}, 100, mode};
  request.view = view;
  CurveSound sound(request, kDefaultSeconds, Channels::mono);
  sound.leave_out_reference();
  if (!cues) sound.leave_out_cues();
  if (!noise) sound.leave_out_noise();
  return sound;
}

// The frame where the sweep of `view` stands at x.
qsizetype frame_at(Bounds view, double x) {
  return qsizetype(std::lround((x - view.x_from) / (view.x_to - view.x_from) * (kDefaultSeconds * kSampleRate - 1)));
}

// Hertz, from the upward zero crossings over `length` frames about `centre`: whole periods between the first and the last.
double pitch_heard(const std::vector<std::int16_t>& s, qsizetype centre, qsizetype length = 882) {
  std::vector<double> crossings;
  for (qsizetype i = centre - length / 2; i < centre + length / 2; ++i)
    if (const double a = s[size_t(i)], b = s[size_t(i + 1)]; a < 0 && b >= 0) crossings.push_back(double(i) + a / (a - b));
  if (crossings.size() < 2) return 0;
  return double(crossings.size() - 1) * kSampleRate / (crossings.back() - crossings.front());
}

double rms(const std::vector<std::int16_t>& s, qsizetype from, qsizetype length) {
  double sum = 0;
  for (qsizetype i = from; i < from + length; ++i) sum += double(s[size_t(i)]) * s[size_t(i)];
  return std::sqrt(sum / length) / 32767;
}

}  // namespace

class TestSound : public QObject {
  Q_OBJECT

 private slots:
  // Three octaves from the view's bottom to its top, clamped beyond.
  void pitch_scale_data() {
    table<double, double>({"y", "hertz"}, {{"bottom", -9.0, 200.0}, {"a third up", -3.0, 400.0}, {"middle", 0.0, 565.685},
                                           {"top", 9.0, 1600.0}, {"above", 1e6, 1600.0}, {"below", -1e6, 200.0}});
  }
  void pitch_scale() {
    const auto [y, hertz] = row<double, double>({"y", "hertz"});
    QVERIFY(std::abs(pitch_for(y, {-9, 9, -9, 9}) - hertz) < 0.01);
  }

  // What is heard at x: the curve's pitch within a semitone where it is in view, as loud to the ear at every pitch
  // (the 60-phon contour of ISO 226:2003: 1,600 Hz at 0.25 of full scale, 800 Hz 3.3 dB below, 455 Hz 0.55 dB
  // below, 200 Hz 6.67 dB above); a soft tone, a quarter of that, at the edge's pitch where it is beyond, trembling
  // (1.5625 s in, the tremolo's trough: 0.63 of it, RMS, over the 20 ms measured); as drawn (between samples by
  // line, the nearest by point). Within 10 %.
  void heard_at_data() {
    // loudness: RMS, full scale 1
    const int line = int(PlotMode::line);
    const double zoomed = 200 * std::pow(8, 1.1875 / 3);
    table<Bounds, double, int, double, double>({"view", "x", "mode", "hertz", "loudness"}, {
        {"x 1, f 3", {-9, 9, -9, 9}, 1.0, line, 800.0, 0.121}, {"x -2.5, f 3.44", {-9, 9, -9, 9}, -2.5, line, 841.5, 0.121},
        {"zoomed, x 0.5", {0, 1, 0, 3}, 0.5, line, zoomed, 0.166}, {"by point", {0, 1, 0, 3}, 0.5, int(PlotMode::point), zoomed, 0.166},
        {"near the top", {0.9, 1.1, -20, 3.1}, 1.0, line, 1586.0, 0.176}, {"near the bottom", {0.9, 1.1, 2.9, 20}, 1.0, line, 202.0, 0.377},
        {"above: the top's pitch, soft", {2, 3, -9, 9}, 2.5 + 0.0625 / 3, line, 1600.0, 0.02796},
        {"below: the bottom's pitch, soft", {-2, -1.5, 0, 9}, -1.75 + 0.03125 / 3, line, 200.0, 0.06026}});
  }
  void heard_at() {
    const auto [view, x, mode, hertz, loudness] =
        row<Bounds, double, int, double, double>({"view", "x", "mode", "hertz", "loudness"});
    const std::vector<std::int16_t> s = samples(sweep(view, false, false, PlotMode(mode)));
    const qsizetype at = frame_at(view, x);
    const double heard = pitch_heard(s, at, hertz < 300 ? 4410 : 882);
    QVERIFY2(std::abs(std::log2(heard / hertz)) < 1.0 / 12, qPrintable(QString::number(heard)));
    QVERIFY2(std::abs(rms(s, at - 441, 882) / loudness - 1) < 0.1, qPrintable(QString::number(rms(s, at - 441, 882))));
  }

  // A plot command's last segment as drawn: by line at clarity 1 from 0 to 2, at 1.5 half-way from f(1) = 3 to
  // f(2) = 22, 200 · 8^(13.5 / 26) = 588 Hz.
  void last_segment() {
    CurveSound sound({{0, 2, -1, 25}, 1, PlotMode::line}, kDefaultSeconds, Channels::mono);
    sound.leave_out_cues(), sound.leave_out_reference(), sound.leave_out_noise();
    const double heard = pitch_heard(samples(sound), frame_at({0, 2, -1, 25}, 1.5), 1764);
    QVERIFY2(std::abs(heard / 588 - 1) < 0.03, qPrintable(QString::number(heard)));
  }

  // No samples (a clarity of 0 or less), no curve: silence but for the cues.
  void no_samples_no_curve() {
    for (const int clarity : {0, -5})
      for (const PlotMode mode : {PlotMode::line, PlotMode::point, PlotMode::frame_only}) {
        CurveSound sound(PlotRequest{{-9, 9, -9, 9}, clarity, mode}, 0.5, Channels::mono);
        QVERIFY(!sound.cues().isEmpty());
        sound.leave_out_cues();
        sound.leave_out_reference();
        const std::vector<std::int16_t> s = samples(sound);
        QVERIFY2(std::all_of(s.begin(), s.end(), [](std::int16_t v) { return v == 0; }), qPrintable(QString::number(clarity)));
      }
  }

  // The quiet noise under the tone where f < 0, and none where f ≥ 0.
  void the_sign_is_heard() {
    const Bounds view{-3, 1, -9, 9};
    const std::vector<std::int16_t> with = samples(sweep(view, false, true)), without = samples(sweep(view));
    std::vector<std::int16_t> noise(with.size());
    for (size_t i = 0; i < with.size(); ++i) noise[i] = std::int16_t(with[i] - without[i]);
    QVERIFY(std::abs(rms(noise, frame_at(view, -1.5), 4410) - 0.06 / std::sqrt(3.0)) < 0.01);  // f(-1.5) = -7.3
    QCOMPARE(rms(noise, frame_at(view, 0.5), 4410), 0.0);
    QCOMPARE(rms(noise, frame_at(view, -2.8), 4410), 0.0);  // f(-2.8) = 9.4: above zero, above the view
  }

  // Each key point in view, in x and in y, a cue at its time (within 5 ms) told by its rhythm: a tick for a root, a
  // rising pair for a minimum, a falling pair for a maximum, a soft double tap for an inflection, a dying knock at
  // x = 0 after the root there; cues closer than 30 ms of quiet wait their turn (crowded), whole at the edges.
  void cues_at_key_points_data() {
    // cues: each cue's x (NAN: only after the one before) and kind, in turn
    columns<Bounds, QList<double>, QStringList, bool>({"view", "xs", "kinds", "crowded"});
    const QStringList six{"tick", "rising", "taps", "tick", "knock", "taps"};
    QTest::newRow("root, minimum, inflections, root and knock")
        << Bounds{-3, 1, -9, 9} << QList<double>{-2.3687, -1.6391, -0.8792, 0, NAN, 0.3792} << six << false;
    QTest::newRow("the minimum and an inflection below the view") << Bounds{-3, 0.5, 0, 10} << QList<double>{-2.3687, 0, NAN, 0.3792}
                                                                  << QStringList{"tick", "tick", "knock", "taps"} << false;
    QTest::newRow("nothing in view") << Bounds{2, 3, 0, 100} << QList<double>{} << QStringList{} << false;
    QTest::newRow("the root at the left edge, whole")
        << Bounds{0, 2, -1, 10} << QList<double>{NAN, NAN, 0.3792} << QStringList{"tick", "knock", "taps"} << false;
    QTest::newRow("crowded, x = 0 not in view") << Bounds{-60, -0.5, -10, 10} << QList<double>(3, NAN) << QStringList{"tick", "rising", "taps"} << true;
    for (const double half : {23.5, 100.0, 300.0})
      QTest::addRow("all six apart, -%g to %g", half, half) << Bounds{-half, half, -10, 10} << QList<double>(6, NAN) << six << true;
  }
  void cues_at_key_points() {
    const auto [view, xs, kinds, crowded] =
        row<Bounds, QList<double>, QStringList, bool>({"view", "xs", "kinds", "crowded"});
    QCOMPARE(sweep(view, true).cues_crowded(), crowded);
    std::vector<std::int16_t> added = samples(sweep(view, true)), without = samples(sweep(view));
    for (size_t i = 0; i < added.size(); ++i) added[i] = std::int16_t(added[i] - without[i]);
    // Parts: where the cues add more than a little, through 2 ms of less; a cue: parts less than 20 ms apart.
    struct Part { size_t first, last; };
    QList<QList<Part>> cues;
    for (size_t i = 0; i < added.size(); ++i) {
      if (std::abs(added[i]) < 100) continue;
      size_t last = i;
      for (size_t k = i; k < added.size() && k < last + 88; ++k)
        if (std::abs(added[k]) >= 100) last = k;
      if (cues.isEmpty() || i - cues.last().last().last > 882) cues.append(QList<Part>{});
      cues.last().append(Part{i, last});
      i = last;
    }
    QCOMPARE(cues.size(), kinds.size());
    const auto energy = [&](size_t from, size_t to) { return rms(added, qsizetype(from), qsizetype(to - from)); };
    for (qsizetype k = 0; k < cues.size(); ++k) {
      const QList<Part>& parts = cues[k];
      const auto pitch = [&](const Part& p) { return pitch_heard(added, qsizetype(p.first + p.last) / 2, qsizetype(p.last - p.first) / 2); };
      // A knock dies away: most of its strength in its first half. A pair rises or falls a fifth; taps stay.
      const size_t half = (parts[0].first + parts[0].last) / 2;
      const double rise = parts.size() == 2 ? pitch(parts[1]) / pitch(parts[0]) : 0;
      const QString heard = parts.size() == 1 ? (energy(parts[0].first, half) > 2 * energy(half, parts[0].last + 1) ? "knock" : "tick")
                            : parts.size() != 2 ? "?" : rise > 1.2 ? "rising" : rise < 1 / 1.2 ? "falling" : "taps";
      QVERIFY2(heard == kinds[k], qPrintable(QStringLiteral("cue %1 heard as %2").arg(k).arg(heard)));
      const double middle = double(parts.first().first + parts.last().last) / 2;
      if (!std::isnan(xs[k])) QVERIFY2(std::abs(middle - frame_at(view, xs[k])) < 0.005 * kSampleRate, qPrintable(QString::number(k)));
      if (k > 0) QVERIFY2(double(parts.first().first - cues[k - 1].last().last) > 0.025 * kSampleRate, qPrintable(QString::number(k)));
    }
  }

  // G's ticks, found in the samples (what they add, in bursts at least 1 ms apart): one at each x grid line (a plot
  // command's integers, an explored view's round spacing), none at 0, every fifth line where the lines would be
  // closer than 25 ms; 3 ms long, whole at the edges, their middles within 0.1 ms, faint (0.1 of full scale).
  void grid_ticks_data() {
    table<Bounds, bool, double>({"shown", "explored", "spacing"}, {{"a plot command: every integer", {-9, 9, -9, 9}, false, 1.0},
                                                                  {"a view: its round spacing", {-1.1, 1.1, -9, 9}, true, 0.05},
                                                                  {"wide: every fifth line", {-240, 240, -9, 9}, false, 5.0}});
  }
  void grid_ticks() {
    const auto [shown, explored, spacing] = row<Bounds, bool, double>({"shown", "explored", "spacing"});
    PlotRequest request{{std::int16_t(shown.x_from), std::int16_t(shown.x_to), -9, 9}, 100, PlotMode::line};
    if (explored) request.view = shown;
    CurveSound plain(request, kDefaultSeconds, Channels::mono), ticked = plain;
    ticked.add_grid_ticks();
    const std::vector<std::int16_t> a = samples(ticked), b = samples(plain);
    QList<double> found;  // the bursts' middles (seconds): runs of frames where the ticks add more than 300
    qsizetype first = -1, last = -1, loudest = 0;
    for (qsizetype i = 0; i < qsizetype(a.size()); ++i) {
      if (std::abs(a[i] - b[i]) <= 300) continue;
      if (first >= 0 && i - last > 44) found << (first + last) / 2.0 / kSampleRate, first = -1;
      if (first < 0) first = i;
      last = i, loudest = std::max<qsizetype>(loudest, std::abs(a[i] - b[i]));
    }
    if (first >= 0) found << (first + last) / 2.0 / kSampleRate;
    QList<double> expected;
    const double end = double(plain.frames()) / kSampleRate, per_unit = (end - 1.0 / kSampleRate) / (shown.x_to - shown.x_from);
    for (double k = std::ceil(shown.x_from / spacing); k * spacing <= shown.x_to; ++k)
      if (k != 0) expected << std::clamp((k * spacing - shown.x_from) * per_unit, 0.0015, end - 0.0015);
    QCOMPARE(found.size(), expected.size());
    for (qsizetype k = 0; k < found.size(); ++k) QVERIFY2(std::abs(found[k] - expected[k]) < 1e-4, qPrintable(QString::number(k)));
    QVERIFY2(loudest > 0.08 * 32767 && loudest <= 0.1 * 32767 + 1, qPrintable(QString::number(loudest)));
  }

  // Nothing at full scale, mono or stereo, whatever meets: the bottom's strong tone, the noise, the reference, cues,
  // ticks.
  void never_clips() {
    for (const Bounds view : {Bounds{-300, 300, -10, 10}, Bounds{-100, 100, -10, 10}, Bounds{-2.4, 0.5, -7.5, 6}})
      for (const Channels channels : {Channels::mono, Channels::stereo}) {
        CurveSound sound(PlotRequest{{-9, 9, -9, 9}, 100, PlotMode::line, false, view}, 3, channels);
        sound.add_grid_ticks();
        const std::vector<std::int16_t> s = samples(sound);
        QVERIFY(*std::max_element(s.begin(), s.end()) < 0.95 * 32767 && *std::min_element(s.begin(), s.end()) > -0.95 * 32767);
      }
  }

  // The reference: a steady quiet tone at y = 0's pitch, as loud to the ear as the curve would be there, while 0 is
  // within the view's y range, and none where it is not.
  void reference_tone_data() {
    table<Bounds, double, double>({"view", "hertz", "loudness"},
                                  {{"0 in the middle", {-9, 9, -9, 9}, 565.7, 0.0287}, {"0 near the bottom", {0, 2, -1, 10}, 241.1, 0.061},
                                   {"0 below", {-9, 9, 1, 9}, 0.0, 0.0}, {"0 at the bottom edge", {-9, 9, 0, 9}, 0.0, 0.0}});
  }
  void reference_tone() {
    const auto [view, hertz, loudness] = row<Bounds, double, double>({"view", "hertz", "loudness"});
    CurveSound with({{-9, 9, -9, 9}, 100, PlotMode::line, false, view}, 1.0, Channels::mono), without = with;
    without.leave_out_reference();
    const std::vector<std::int16_t> a = samples(with), b = samples(without);
    std::vector<std::int16_t> reference(a.size());
    for (size_t i = 0; i < a.size(); ++i) reference[i] = std::int16_t(a[i] - b[i]);
    QVERIFY2(std::abs(rms(reference, 4410, 35280) - loudness) < 0.003, qPrintable(QString::number(rms(reference, 4410, 35280))));
    QVERIFY(hertz == 0 || std::abs(pitch_heard(reference, 22050, 35280) / hertz - 1) < 0.005);
  }

  // No step between samples larger than the highest tone's own, across a whole sweep of every kind of passage.
  void phase_runs_on() {
    const std::vector<std::int16_t> s = samples(sweep({-3.5, 2.5, -8, 8}, false, false));
    int largest = 0;
    for (size_t i = 1; i < s.size(); ++i) largest = std::max(largest, std::abs(s[i] - s[i - 1]));
    QVERIFY2(largest <= int(0.25 * 32767 * 2 * M_PI * 1600 / kSampleRate) + 40, qPrintable(QString::number(largest)));
    QVERIFY(std::abs(s.front()) < 100 && std::abs(s.back()) < 100);  // faded in and out
  }

  // Made a piece at a time or at once, the same samples; stereo moves from the left to the right.
  void pieces_and_sides() {
    PlotRequest request{{-9, 9, -9, 9}, 32767, PlotMode::line};
    const std::vector<std::int16_t> whole = samples(CurveSound(request, 1.0, Channels::stereo));
    CurveSound sound(request, 1.0, Channels::stereo);
    std::vector<std::int16_t> pieces(whole.size() + 2);
    qsizetype at = 0;
    for (const int piece : {1, 7, 1000, 4096, 1 << 20}) at += 2 * sound.fill(pieces.data() + at, piece);
    pieces.resize(size_t(at));
    QVERIFY(sound.done() && pieces == whole);
    const auto side = [&](size_t channel, size_t from) {  // RMS of one channel over a tenth of a second
      double sum = 0;
      for (size_t i = from * 2 + channel; i < (from + 4410) * 2; i += 2) sum += double(whole[i]) * whole[i];
      return std::sqrt(sum / 4410);
    };
    const size_t last = whole.size() / 2 - 4410, middle = whole.size() / 4 - 2205;
    QVERIFY(side(0, 0) > 5 * side(1, 0) && side(1, last) > 5 * side(0, last));
    QVERIFY(std::abs(side(0, middle) / side(1, middle) - 1) < 0.1);
  }

  // The command line's file holds the samples the window plays, little-endian after its 44-byte header (its fields:
  // test_cli.py reads them with Python's wave).
  void command_line_file() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a.wav"));
    QCOMPARE(run_command_line({"vesk-plot", "--by", "point", "--view", "0,2,-1,10", "--audio", path, "--duration", "0.5"}), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("RIFF") && bytes.mid(36, 4) == "data" && bytes.size() == 44 + 22050 * 4);
    PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::point};
    request.view = Bounds{0, 2, -1, 10};
    const std::vector<std::int16_t> played = samples(CurveSound(request, 0.5, Channels::stereo));
    for (size_t i = 0; i < played.size(); ++i)
      QVERIFY(std::int16_t(quint8(bytes[qsizetype(44 + 2 * i)]) | quint8(bytes[qsizetype(45 + 2 * i)]) << 8) == played[i]);
  }

  // A trace step's tone: a tenth of a second of f at the marker, the cue of a key point it stands on.
  void trace_tone() {
    const PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::line};
    CurveSound plain = CurveSound::trace_tone(request, 1.0, Channels::mono);  // 4410 frames: glide
    QVERIFY(plain.cues().isEmpty());
    const std::vector<std::int16_t> s = samples(plain);
    QVERIFY(std::abs(pitch_heard(s, 2205, 3528) / 800 - 1) < 0.06);
    // f itself at the marker, not the drawn curve: by point at clarity 1, x 0.5 is drawn at the sample x 1 (f 3,
    // 800 Hz), while f(0.5) = 1.1875 is 200 · 8^(10.1875 / 18) = 650 Hz.
    const std::vector<std::int16_t> between = samples(CurveSound::trace_tone({{-9, 9, -9, 9}, 1, PlotMode::point}, 0.5, Channels::mono));
    QVERIFY2(std::abs(pitch_heard(between, 2205, 3528) / 650.5 - 1) < 0.03, qPrintable(QString::number(pitch_heard(between, 2205, 3528))));
    const double minimum = quartic_minimum_x();
    for (const double x : {minimum, minimum + 0.015, minimum - 0.015})
      QVERIFY((CurveSound::trace_tone(request, x, Channels::mono).cues() == QList<Cue>{Cue{0.05, CueKind::minimum}}));
    QVERIFY(CurveSound::trace_tone(request, minimum + 0.016, Channels::mono).cues().isEmpty());
  }
  // The next step while a step's tone sounds glides it on: gliding, the pitch within 1 % of the next step's from 20 ms on
  // (f(1.5) = 8.44: 1,500 Hz; f(0.5): 650 Hz), never a dip or a click between, its length from the step; not in the
  // tone's fade, not into a sweep. A cue waits for the one still sounding (the minimum's pair, 40 ms, 30 ms apart).
  void glide_data() {
    table<double, qint64, bool>({"next_x", "after", "glides"}, {{"up", 1.5, 2205, true}, {"down", 0.5, 441, true},
                                                             {"in the fade", 1.5, 4410 - 220, false}, {"into a sweep", 0.0, 2205, false}});
  }
  void glide() {
    const auto [next_x, after, glides] = row<double, qint64, bool>({"next_x", "after", "glides"});
    const PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::line};
    CurveSound tone = CurveSound::trace_tone(request, 1.0, Channels::mono);
    std::vector<std::int16_t> s(size_t(after + 4410));
    tone.fill(s.data(), after);
    const CurveSound next = next_x == 0 ? CurveSound(request, 1, Channels::mono) : CurveSound::trace_tone(request, next_x, Channels::mono);
    QCOMPARE(tone.glide_to(next), glides);
    QCOMPARE(tone.frames(), glides ? after + 4410 : 4410);
    if (!glides) return;
    tone.fill(s.data() + after, 4410);
    const double hertz = 200 * std::pow(8, (quartic(next_x) + 9) / 18);
    QVERIFY2(std::abs(pitch_heard(s, after + 1764, 1764) / hertz - 1) < 0.01, qPrintable(QString::number(pitch_heard(s, after + 1764, 1764))));
    QVERIFY(std::abs(std::log2(pitch_heard(s, after + 176, 264) / hertz)) > 0.25 * std::abs(std::log2(800 / hertz)));  // 1 … 7 ms in
    for (qsizetype at = 220; at + 88 < qsizetype(s.size()) - 220; at += 44) QVERIFY2(rms(s, at, 88) > 0.08, qPrintable(QString::number(at)));
    for (size_t i = 1; i < s.size(); ++i) QVERIFY(std::abs(s[i] - s[i - 1]) <= int(0.25 * 32767 * 2 * M_PI * 1600 / kSampleRate) + 40);

    CurveSound on = CurveSound::trace_tone(request, quartic_minimum_x(), Channels::mono);
    on.fill(s.data(), 441);
    QVERIFY(on.glide_to(CurveSound::trace_tone(request, quartic_minimum_x() + 0.001, Channels::mono)));
    QVERIFY((on.cues() == QList<Cue>{{0.05, CueKind::minimum}, {0.12, CueKind::minimum}}) && on.frames() == 6395);
  }

  // From the trace's marker: the part right of it, in its share of the time, starting at its pitch, with that
  // part's cues alone (the root and the click at 0, the inflection at 0.379); from the right edge, the shortest.
  void from_the_marker() {
    const PlotRequest request{{-9, 9, -9, 9}, 100, PlotMode::line};
    CurveSound part = CurveSound::from_x(request, 0.0, 3.0, Channels::mono);
    QCOMPARE(part.frames(), qint64(66150));
    QCOMPARE(part.cues().size(), 3);
    // The root's tick (12 ms) whole at the start, the knock (20 ms) 30 ms after it, the inflection's taps (20 ms,
    // 63 ms in) 30 ms after that.
    const QList<Cue> expected{{0.006, CueKind::root}, {0.052, CueKind::zero}, {0.102, CueKind::inflection}};
    for (qsizetype k = 0; k < 3; ++k)
      QVERIFY(std::abs(part.cues()[k].seconds - expected[k].seconds) < 1e-9 && part.cues()[k].kind == expected[k].kind);
    part.leave_out_cues();
    part.leave_out_noise();
    const double x = 9 * (1764.0 / kSampleRate) / 1.5;  // 40 ms in
    QVERIFY(std::abs(pitch_heard(samples(part), 1764, 1764) / (200 * std::pow(8, (quartic(x) + 9) / 18)) - 1) < 0.03);
    QCOMPARE(CurveSound::from_x(request, 9.0, 3.0, Channels::mono).frames(), qint64(kShortestSeconds * kSampleRate));
  }
};

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
