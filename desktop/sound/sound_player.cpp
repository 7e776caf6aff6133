#include "sound/sound_player.h"

#include <dlfcn.h>

#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

#include "program/module_path.h"
#include "sound/sound_output.h"

namespace vesk {

// The sound module's output, made, used and deleted on the player's thread only. It reports by signals, which
// reach the player on its own thread, or not at all once it is gone.
class SoundPlayer::Worker : public QObject {
  Q_OBJECT

 public:
  std::unique_ptr<SoundOutput> output;
  quint64 start = 0;  // the start playing

 signals:
  void answered(quint64 start, const QString& reason, int kind);  // reason empty: playing
  void ended(quint64 start);
};

namespace {
std::atomic<bool> held{false};

MakeSoundOutput load_module(QString* missing) {
  // Kept for the program's life: Qt's objects of the module stay until its end.
  void* module = ::dlopen(module_path("vesk-plot-sound.so").constData(), RTLD_NOW | RTLD_LOCAL);
  const auto make = module ? reinterpret_cast<MakeSoundOutput>(::dlsym(module, kMakeSoundOutput)) : nullptr;
  if (!make) *missing = QString::fromLocal8Bit(::dlerror());
  return make;
}
}  // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent), thread_(new QThread), worker_(new Worker), waiting_(new QTimer(this)) {
  thread_->setObjectName(QStringLiteral("sound"));
  worker_->moveToThread(thread_);
  connect(worker_, &Worker::answered, this, [this](quint64 start, const QString& reason, int kind) {
    answered(start, reason.isEmpty() ? std::nullopt : std::optional(reason), Kind(kind));
  });
  connect(worker_, &Worker::ended, this, &SoundPlayer::ended);
  waiting_->setSingleShot(true);
  waiting_->setInterval(kServerAnswerMs);
  connect(waiting_, &QTimer::timeout, this, [this] {
    silent_ = true;
    if (!sweeping_) return;
    sweeping_ = false;
    emit failed(QStringLiteral("No sound: the sound server did not answer within %1 seconds.").arg(kServerAnswerMs / 1000),
                Kind::sweep);
  });
}

SoundPlayer::~SoundPlayer() {
  if (!thread_->isRunning()) {
    delete worker_;
    delete thread_;
    return;
  }
  QMetaObject::invokeMethod(worker_, [worker = worker_] {
    delete worker;
    QThread::currentThread()->quit();
  }, Qt::QueuedConnection);
  // A thread the server still holds is left to the end of the program, which does not wait for it.
  if (thread_->wait(QDeadlineTimer(silent_ ? 0 : 1000))) delete thread_;
  else held = true;
}

bool sound_thread_held() { return held; }

std::optional<QString> SoundPlayer::play(CurveSound sound, Kind kind) {
  // Not stopped first: the output stops what played itself, or glides a trace tone on to the next step's.
  sweeping_ = false;
  if (silent_) {
    stop();
    return QStringLiteral("No sound: the sound server did not answer within %1 seconds.").arg(kServerAnswerMs / 1000);
  }
  if (!thread_->isRunning()) {
    const MakeSoundOutput make = missing_.isEmpty() ? load_module(&missing_) : nullptr;
    if (!make) return QStringLiteral("No sound: the program's sound part could not be loaded (%1).").arg(missing_);
    thread_->start();
    QMetaObject::invokeMethod(worker_, [make, worker = worker_] {
      worker->output.reset(make([worker] { emit worker->ended(worker->start); }));
    }, Qt::QueuedConnection);
  }
  const quint64 start = ++latest_;
  sweeping_ = kind == Kind::sweep;
  if (unanswered_++ == 0) waiting_->start();
  QMetaObject::invokeMethod(worker_, [start, kind, worker = worker_, sound = std::move(sound)]() mutable {
    worker->start = start;
    emit worker->answered(start, worker->output->play(std::move(sound)).value_or(QString()), int(kind));
  }, Qt::QueuedConnection);
  return std::nullopt;
}

void SoundPlayer::stop() {
  sweeping_ = false;
  ++latest_;  // what the thread still reports of the sound stopped is not heard of
  if (thread_->isRunning()) QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->output->stop(); }, Qt::QueuedConnection);
}

void SoundPlayer::answered(quint64 start, const std::optional<QString>& reason, Kind kind) {
  if (--unanswered_ == 0) waiting_->stop();
  else waiting_->start();  // the next start's own time
  silent_ = false;
  if (start != latest_ || !reason) return;
  sweeping_ = false;
  emit failed(*reason, kind);
}

void SoundPlayer::ended(quint64 start) {
  if (start != latest_ || !sweeping_) return;
  sweeping_ = false;
  emit finished();
}

}  // namespace vesk

#include "sound_player.moc"
