// The sound module: a curve's sound through Qt Multimedia's audio sink, in pull mode. Loaded by the window at
// the first sound (sound/sound_player.h).

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "sound/sound_output.h"

namespace vesk {
namespace {

constexpr int kAheadMs = 100;  // what the sink holds ahead of what is heard

// The sound as a device the sink reads from, made a piece at a time; stopped, it fades out over kStopFrames from
// the next frame the sink reads (what the sink holds, a tenth of a second at most, plays first).
class Stream : public QIODevice {
 public:
  static constexpr std::int64_t kStopFrames = kSampleRate * 5 / 1000;

  Stream(CurveSound sound, QObject* parent) : QIODevice(parent), sound_(std::move(sound)) { open(QIODevice::ReadOnly); }
  bool isSequential() const override { return true; }
  bool atEnd() const override { return sound_.done() || fading_ >= kStopFrames; }
  qint64 bytesAvailable() const override {
    const std::int64_t left = sound_.frames() - played_;
    return (fading_ < 0 ? left : std::clamp<std::int64_t>(std::min(left, kStopFrames - fading_), 0, left)) *
               sound_.channels() * 2 + QIODevice::bytesAvailable();
  }
  void fade_out() {
    if (fading_ < 0) fading_ = 0;
  }
  bool glide_to(const CurveSound& next) { return fading_ < 0 && sound_.glide_to(next); }

 protected:
  qint64 readData(char* data, qint64 size) override {
    const int channels = sound_.channels();
    std::int64_t wanted = size / (channels * 2);
    if (fading_ >= 0) wanted = std::min(wanted, kStopFrames - fading_);
    if (wanted <= 0) return 0;
    auto* out = reinterpret_cast<std::int16_t*>(data);
    const std::int64_t frames = sound_.fill(out, wanted);
    if (fading_ >= 0)
      for (std::int64_t i = 0; i < frames; ++i, ++fading_)
        for (int c = 0; c < channels; ++c)
          out[i * channels + c] = std::int16_t(out[i * channels + c] * double(kStopFrames - fading_ - 1) / kStopFrames);
    played_ += frames;
    return frames * channels * 2;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  CurveSound sound_;
  std::int64_t played_ = 0;
  std::int64_t fading_ = -1;  // frames of the fade made; -1 before a stop
};

class QtSoundOutput : public QObject, public SoundOutput {
 public:
  explicit QtSoundOutput(std::function<void()> finished) : finished_(std::move(finished)) {}
  ~QtSoundOutput() override { stop(); }
  std::optional<QString> play(CurveSound sound) override;
  void stop() override;
  bool playing() const override { return stream_ && !stream_->atEnd(); }

 private:
  std::function<void()> finished_;
  QMediaDevices* devices_ = nullptr;  // made at the first sound: connecting to the server waits for it
  QAudioSink* sink_ = nullptr;
  Stream* stream_ = nullptr;
};

std::optional<QString> QtSoundOutput::play(CurveSound sound) {
  // A trace step while the last step's tone sounds carries it on: one stream, no gap, no fade between.
  if (stream_ && stream_->glide_to(sound)) return std::nullopt;
  stop();
  // What the sink holds ahead is made before the next step can come: a tone that long longer is still sounding then.
  sound.lengthen(kAheadMs / 1000.0);
  if (!devices_) devices_ = new QMediaDevices(this);
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return QStringLiteral("No sound: no sound device or sound server answered.");
  QAudioFormat format;
  format.setSampleRate(kSampleRate);
  format.setChannelCount(sound.channels());
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format))
    return QStringLiteral("No sound: the sound device %1 plays no 16-bit sound at 44.1 kHz.").arg(device.description());

  // A sink for each sound: one reused after it ran dry stays silent now and then (Qt 6.4, PulseAudio).
  sink_ = new QAudioSink(device, format, this);
  // A tenth of a second ahead: soon heard, soon stopped.
  sink_->setBufferSize(qsizetype(kSampleRate * kAheadMs / 1000) * sound.channels() * 2);
  connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    // Idle at the end: all is with the server, which still plays what it holds (stopping now would cut that off).
    // The sound ends once that is heard, so that H in its last moment stops it rather than starting another.
    if (state == QAudio::IdleState && stream_ && stream_->atEnd()) QTimer::singleShot(kAheadMs, sink_, finished_);
  });
  stream_ = new Stream(std::move(sound), this);
  sink_->start(stream_);
  if (sink_->error() != QAudio::NoError) {
    const QString reason = sink_->error() == QAudio::OpenError
                               ? QStringLiteral("No sound: the sound device %1 could not be opened.").arg(device.description())
                               : QStringLiteral("No sound: the sound device %1 failed.").arg(device.description());
    stop();
    return reason;
  }
  return std::nullopt;
}

void QtSoundOutput::stop() {
  if (!sink_) return;
  QAudioSink* const sink = std::exchange(sink_, nullptr);
  Stream* const stream = std::exchange(stream_, nullptr);  // first: stopping reports a state change
  sink->disconnect(this);
  // Faded, not cut: the sink passes on what it holds and the fade, then runs dry; the server still holds up to
  // kAheadMs of it then, which stopping the sink would throw away unheard (Qt 6.4 disconnects the stream without
  // waiting for its drain), so the sink goes once that is heard, or with the output.
  stream->fade_out();
  const auto gone = [sink, stream] {
    sink->disconnect();
    sink->stop();
    sink->deleteLater();  // later: the sink may still be inside a read
    stream->deleteLater();
  };
  if (sink->state() != QAudio::ActiveState) return gone();
  connect(sink, &QAudioSink::stateChanged, sink, [sink, gone](QAudio::State state) {
    if (state != QAudio::ActiveState) QTimer::singleShot(kAheadMs + 20, sink, gone);
  }, Qt::SingleShotConnection);
}

}  // namespace
}  // namespace vesk

extern "C" Q_DECL_EXPORT vesk::SoundOutput* vesk_make_sound_output(std::function<void()> finished) {
  return new vesk::QtSoundOutput(std::move(finished));
}
