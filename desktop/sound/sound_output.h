#pragma once
// What plays a curve's sound through the system's sound server. The window's part does not link the toolkit's
// multimedia libraries (and the sound server's, codecs and all, that they bring): the one that does is a module of
// its own (sound_output/), loaded when a sound is first asked for. This is what the two share.

#include <QString>
#include <functional>
#include <optional>

#include "sound/curve_sound.h"

namespace vesk {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Starts `sound`, stopping what played, or glides the trace tone playing on to the next step's (CurveSound::glide_to);
  // a line saying why not when nothing can play it.
  virtual std::optional<QString> play(CurveSound sound) = 0;
  virtual void stop() = 0;
  virtual bool playing() const = 0;
};

// The module's one entry: a new output, which calls `finished` on the thread it was made on when a sound played to
// its end.
using MakeSoundOutput = SoundOutput* (*)(std::function<void()> finished);
inline constexpr const char* kMakeSoundOutput = "vesk_make_sound_output";

}  // namespace vesk
