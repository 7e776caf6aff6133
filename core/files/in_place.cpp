// A regular file overwritten in place, and put back should that fail.

#include <QDateTime>
#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/held_signals.h"
#include "files/write_paths.h"

namespace vesk::files {
namespace {

// The file open as `target`, opened anew for writing; by its name where the
// system has no /proc, if that still names the same file.
Descriptor reopen(int target, const QByteArray& path, int flags) {
  Descriptor file(::open(descriptor_path(target).constData(), flags | O_CLOEXEC | O_NOCTTY));
  if (file || errno != ENOENT) return file;
  file = Descriptor(::open(path.constData(), flags | O_CLOEXEC | O_NOCTTY));
  struct stat opened {}, wanted {};
  if (file && (::fstat(file.get(), &opened) != 0 || ::fstat(target, &wanted) != 0 || opened.st_ino != wanted.st_ino ||
               opened.st_dev != wanted.st_dev)) {
    errno = ENOENT;
    return {};
  }
  return file;
}

// The whole new size, reserved before a byte changes: no space, or the
// file-size limit, shows while the file is still as it was. File systems that
// cannot reserve are written all the same.
int reserve(int fd, off_t size) {
  if (size == 0) return 0;
  for (;;) {
    if (::fallocate(fd, 0, 0, size) == 0) return 0;
    if (errno != EINTR) return errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL ? 0 : errno;
  }
}

// 0, or the errno of the step that failed. Writing clears the setuid bit, and the setgid bit of a file its group
// may run, for a user without CAP_FSETID; the owner gives them back (another user's file keeps the kernel's choice).
int overwrite(int fd, const QByteArray& bytes, mode_t mode) {
  int error = write_all(fd, bytes, 0);
  if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0) error = errno;
  struct stat now {};
  if (error == 0 && ::fstat(fd, &now) == 0 && (now.st_mode & 07777) != (mode & 07777) && ::fchmod(fd, mode & 07777) != 0 &&
      errno != EPERM)
    error = errno;
  if (error == 0) error = sync(fd, true);
  return error;
}

// The earlier bytes, where the file could not take them back: in the
// program's state folder ($XDG_STATE_HOME, else ~/.local/state), private to
// the user. Its name, or the reason it could not be kept.
std::pair<QString, bool> keep_elsewhere(const QByteArray& earlier, const QByteArray& path) {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
  const QString folder = state + QStringLiteral("/vesk-plot");
  // Private: the earlier file may have been too.
  if (!QDir().mkpath(state) || (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST))
    return {QStringLiteral("the folder %1 could not be made (%2)").arg(folder, reason_of(errno)), false};
  const QByteArray name = QFile::encodeName(folder) + '/' + split_name(path).second.left(160) + '.' +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")).toLatin1() +
                          ".earlier";
  const Written kept = write_new(earlier, name, 0600);
  if (kept.reason) return {*kept.reason, false};
  return {QString::fromLocal8Bit(name), true};
}

}  // namespace

Written write_in_place(const QByteArray& bytes, int target, const QByteArray& path, Waiting wait, bool no_new_files) {
  const QString because = no_new_files ? QStringLiteral(", and its folder does not allow new files") : QString();
  Descriptor file = reopen(target, path, O_RDWR);
  if (!file) {
    const int error = errno;
    // Only a copy read first can be put back, should a write fail.
    if (error == EACCES && reopen(target, path, O_WRONLY))
      return {QStringLiteral("The file may be written but not read (%1), so it could not be restored should the "
                             "write fail%2.").arg(reason_of(error), because)};
    return {QStringLiteral("The file may not be written (%1)%2.").arg(reason_of(error), because)};
  }
  // Two saves of one file in place at once would mix their bytes.
  int locked = 0;
  while ((locked = ::flock(file.get(), LOCK_EX | (wait == Waiting::yes ? 0 : LOCK_NB))) != 0 && errno == EINTR) {}
  if (locked != 0 && errno == EWOULDBLOCK)
    return {QStringLiteral("Another program is saving this file just now; try again once it has finished.")};
  if (locked != 0) return {reason_of(errno)};
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return {reason_of(errno)};
  const std::optional<QByteArray> earlier = read_all(file.get(), status.st_size);
  if (!earlier) return {reason_of(errno)};

  HeldSignals held;
  held.hold();  // from the first changed byte until the file is whole again, new or earlier
  int error = reserve(file.get(), off_t(bytes.size()));
  if (error == 0) error = overwrite(file.get(), bytes, status.st_mode);
  if (error == 0) {
    // A close can fail after every write succeeded (a network file system):
    // the earlier bytes go back through a second descriptor then.
    Descriptor spare(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    error = file.close();
    if (error == 0) return {};
    file = std::move(spare);
  }
  const int restore_error = file ? overwrite(file.get(), *earlier, status.st_mode) : EBADF;
  if (restore_error == 0) return {reason_of(error)};
  const auto [kept, where] = keep_elsewhere(*earlier, path);
  return {QStringLiteral("%1; putting the earlier contents back failed too (%2), so the file holds neither. %3")
              .arg(reason_of(error), reason_of(restore_error),
                   where ? QStringLiteral("Its earlier contents are kept in %1.").arg(kept)
                         : QStringLiteral("Its earlier contents could not be kept elsewhere either: %1.").arg(kept))};
}

}  // namespace vesk::files
