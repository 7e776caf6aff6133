#pragma once
// Plays a curve's sound (sound/curve_sound.h) through the system's sound server, made as the server asks for it:
// playback starts at once and the memory stays small whatever the duration. The sound module (sound_output.h) is
// loaded at the first sound, so a window that never sounds maps none of the multimedia libraries.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "sound/curve_sound.h"
#include "sound/sound_output.h"

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
  std::unique_ptr<SoundOutput> output_;
  QString missing_;  // why the module could not be loaded, once it was tried
};

}  // namespace vesk
