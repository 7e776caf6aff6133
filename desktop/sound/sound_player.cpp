#include "sound/sound_player.h"

#include <dlfcn.h>

#include "program/module_path.h"

namespace vesk {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() { stop(); }

std::optional<QString> SoundPlayer::play(CurveSound sound) {
  if (!output_ && missing_.isEmpty()) {
    // Kept for the program's life: Qt's objects of the module stay until its end.
    void* module = ::dlopen(module_path("vesk-plot-sound.so").constData(), RTLD_NOW | RTLD_LOCAL);
    const auto make = module ? reinterpret_cast<MakeSoundOutput>(::dlsym(module, kMakeSoundOutput)) : nullptr;
    if (make) output_.reset(make([this] { emit finished(); }));
    else missing_ = QString::fromLocal8Bit(::dlerror());
  }
  if (!output_) return QStringLiteral("No sound: the program's sound part could not be loaded (%1).").arg(missing_);
  return output_->play(std::move(sound));
}

void SoundPlayer::stop() {
  if (output_) output_->stop();
}

bool SoundPlayer::playing() const { return output_ && output_->playing(); }

}  // namespace vesk
