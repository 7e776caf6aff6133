// The sound module: a curve's sound through Qt Multimedia's audio sink, in pull mode. Loaded by the window at
// the first sound (sound/sound_player.h).

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <utility>

#include "sound/sound_output.h"

namespace vesk {
namespace {

// The sound as a device the sink reads from, made a piece at a time.
class Stream : public QIODevice {
 public:
  Stream(CurveSound sound, QObject* parent) : QIODevice(parent), sound_(std::move(sound)) { open(QIODevice::ReadOnly); }
  bool isSequential() const override { return true; }
  bool atEnd() const override { return sound_.done(); }
  qint64 bytesAvailable() const override {
    return (sound_.frames() - played_) * sound_.channels() * 2 + QIODevice::bytesAvailable();
  }

 protected:
  qint64 readData(char* data, qint64 size) override {
    const qint64 frame_bytes = sound_.channels() * 2;
    const std::int64_t frames = sound_.fill(reinterpret_cast<std::int16_t*>(data), size / frame_bytes);
    played_ += frames;
    return frames * frame_bytes;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  CurveSound sound_;
  std::int64_t played_ = 0;
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
  stop();
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
  sink_->setBufferSize(qsizetype(kSampleRate / 10) * sound.channels() * 2);
  connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    // Idle at the end: all is with the server, which plays what it holds; stopping now would cut that off.
    if (state == QAudio::IdleState && stream_ && stream_->atEnd()) finished_();
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
  sink->stop();
  // Later: the sink may still be inside a read.
  sink->deleteLater();
  stream->deleteLater();
}

}  // namespace
}  // namespace vesk

extern "C" Q_DECL_EXPORT vesk::SoundOutput* vesk_make_sound_output(std::function<void()> finished) {
  return new vesk::QtSoundOutput(std::move(finished));
}
