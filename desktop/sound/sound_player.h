#pragma once
// Plays a curve's sound (sound/curve_sound.h) through the system's sound
// server, made as the server asks for it: playback starts at once and the
// memory stays small whatever the duration.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "sound/curve_sound.h"

class QAudioSink;
class QMediaDevices;

namespace vesk {

class SoundPlayer : public QObject {
  Q_OBJECT

 public:
  explicit SoundPlayer(QObject* parent);
  ~SoundPlayer() override;

  // Starts `sound`, stopping what played; a line saying why not when nothing can play it.
  std::optional<QString> play(CurveSound sound);
  void stop();
  bool playing() const;

 signals:
  // The sound played to its end.
  void finished();

 private:
  class Stream;
  QMediaDevices* devices_ = nullptr;  // made at the first sound: connecting to the server waits for it
  QAudioSink* sink_ = nullptr;
  Stream* stream_ = nullptr;
};

}  // namespace vesk
