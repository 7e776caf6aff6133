#pragma once
// The earlier bytes of a file about to be overwritten in place, kept on disk before its first byte changes, so
// that nothing is lost whenever the program ends, kill -9 included. The copy is private to the user (0600) in the
// program's state folder ($XDG_STATE_HOME/vesk-plot, else ~/.local/state/vesk-plot, 0700), with a note beside it
// that names the file it was kept for; where that folder cannot be made, it is a hidden file beside the file.
// Once the file is whole again, new or earlier, both are removed; one left behind is named at the next start.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <variant>

namespace vesk::files {

class RecoveryCopy {
 public:
  // The copy of `earlier`, the bytes of `original` (its whole name), written and synced; `beside` is the folder
  // the file is in (a descriptor), for where no state folder can be made. Or why it could not be kept.
  static std::variant<RecoveryCopy, QString> keep(const QByteArray& earlier, const QByteArray& original, int beside);
  RecoveryCopy(RecoveryCopy&& other) noexcept;
  ~RecoveryCopy();

  // Removes the copy: the file is whole again.
  void discard();
  // Where the copy is, for a message.
  QString where() const { return QString::fromLocal8Bit(shown_); }

 private:
  RecoveryCopy() = default;
  int folder_ = -1;
  QByteArray name_, note_, shown_;
};

// The copies a save cut short left behind, each said once: "The earlier contents of FILE are kept in COPY …".
QStringList recoveries_left_behind();

}  // namespace vesk::files
