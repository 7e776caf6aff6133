#pragma once
// Plays a curve's sound (sound/curve_sound.h) through the system's sound server, made as the server asks for it:
// playback starts at once and the memory stays small whatever the duration. The sound module (sound_output.h) is
// loaded at the first sound, so a window that never sounds maps none of the multimedia libraries.
//
// The server is reached on a thread of the player's own: one that takes the connection and never answers holds
// that thread, never the window. A start it has not answered within kServerAnswerMs is reported as failed; until
// the server answers, later sounds are refused at once.

#include <QObject>
#include <QString>
#include <optional>

#include "sound/curve_sound.h"

class QThread;
class QTimer;

namespace vesk {

constexpr int kServerAnswerMs = 2000;

class SoundPlayer : public QObject {
  Q_OBJECT

 public:
  enum class Kind { sweep, tone };  // a tone (a trace step) is never what H stops

  explicit SoundPlayer(QObject* parent);
  ~SoundPlayer() override;

  // Starts `sound`, stopping what played (a trace step glides the last one's tone on); a line saying why not when it
  // cannot even be tried (later: `failed`).
  std::optional<QString> play(CurveSound sound, Kind kind);
  void stop();
  // A sweep started and not yet ended, stopped or failed.
  bool sweeping() const { return sweeping_; }

 signals:
  void finished();  // a sweep played to its end
  void failed(const QString& reason, vesk::SoundPlayer::Kind kind);

 private:
  class Worker;
  void answered(quint64 start, const std::optional<QString>& reason, Kind kind);
  void ended(quint64 start);

  QThread* thread_;  // not a child: one held by a silent server is left running at the end
  Worker* worker_;   // lives on thread_
  QTimer* waiting_;  // the server's time to answer the oldest unanswered start
  QString missing_;  // why the module could not be loaded, once it was tried
  quint64 latest_ = 0;      // the start whose reports count
  int unanswered_ = 0;      // starts the server holds
  bool silent_ = false;     // it held one past kServerAnswerMs
  bool sweeping_ = false;
};

// Whether a player ended with its thread still held by a silent server: the program must then end without the
// multimedia library's own end, which would wait for that thread.
bool sound_thread_held();

}  // namespace vesk
