#include "sound/sound_player.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <utility>

namespace vesk {

// The sound as a device the sink reads from, made a piece at a time.
class SoundPlayer::Stream : public QIODevice {
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

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() { stop(); }

std::optional<QString> SoundPlayer::play(CurveSound sound) {
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
    if (state == QAudio::IdleState && stream_ && stream_->atEnd()) emit finished();
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

void SoundPlayer::stop() {
  if (!sink_) return;
  QAudioSink* const sink = std::exchange(sink_, nullptr);
  Stream* const stream = std::exchange(stream_, nullptr);  // first: stopping reports a state change
  sink->disconnect(this);
  sink->stop();
  // Later: the sink may still be inside a read.
  sink->deleteLater();
  stream->deleteLater();
}

bool SoundPlayer::playing() const { return stream_ && !stream_->atEnd(); }

}  // namespace vesk
