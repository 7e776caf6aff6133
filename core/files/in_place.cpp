// A regular file overwritten in place, its earlier bytes kept on disk first and put back should that fail.

#include <QFile>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/held_signals.h"
#include "files/recovery.h"
#include "files/write_paths.h"

namespace vesk::files {
namespace {

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

// Writing clears the setuid bit, and the setgid bit of a file its group may run, for a user without CAP_FSETID:
// the owner gives them back (another user's file keeps the kernel's choice).
int give_back_mode(int fd, mode_t mode) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return errno;
  if ((now.st_mode & 07777) == (mode & 07777) || ::fchmod(fd, mode & 07777) == 0 || errno == EPERM) return 0;
  return errno;
}

// `bytes` from the start, cut to their length, the mode given back and synced; 0, or the errno of the step that
// failed, with `reached` the end of what may have changed (a piece that failed may have landed in part).
int overwrite(int fd, const QByteArray& bytes, mode_t mode, off_t& reached) {
  qint64 done = 0;
  int error = write_all(fd, bytes, off_t(0), &done);
  reached = off_t(error ? std::min<qint64>(bytes.size(), done + kWritePiece) : done);
  if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0) error = errno;
  if (error == 0) error = give_back_mode(fd, mode);
  if (error == 0) error = sync(fd, true);
  return error;
}

// Only what may have changed put back, what grew cut back: the earlier file again.
int restore(int fd, const QByteArray& earlier, mode_t mode, off_t reached) {
  int error = write_all(fd, earlier.left(qsizetype(std::min<off_t>(reached, earlier.size()))), off_t(0));
  if (error == 0 && ::ftruncate(fd, off_t(earlier.size())) != 0) error = errno;
  if (error == 0) error = give_back_mode(fd, mode);
  if (error == 0) error = sync(fd, true);
  return error;
}

// The file's whole name as the kernel knows it, for the recovery copy's note.
QByteArray whole_name(const Walked& where) {
  char name[PATH_MAX];
  const ssize_t length = ::readlink(descriptor_path(where.target.get()).constData(), name, sizeof name);
  return length > 0 && length < ssize_t(sizeof name) ? QByteArray(name, length) : where.folder_name + '/' + where.base;
}

}  // namespace

int lock_file(const Descriptor& file, const WriteOptions& options) {
  int locked = 0;
  while ((locked = ::flock(file.get(), LOCK_EX | (options.may_wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {}
  return locked == 0 ? 0 : errno;
}

Written write_in_place(const QByteArray& bytes, const Walked& where, const WriteOptions& options, bool no_new_files) {
  const QString because = no_new_files ? QStringLiteral(", and its folder does not allow new files") : QString();
  const QByteArray opened_as = descriptor_path(where.target.get());
  Descriptor file(::open(opened_as.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY));
  if (!file) {
    const int error = errno;
    // Only a copy read first can be put back, should a write fail.
    if (error == EACCES && Descriptor(::open(opened_as.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY)))
      return {QStringLiteral("The file may be written but not read (%1), so it could not be restored should the "
                             "write fail%2.").arg(reason_of(error), because)};
    return {QStringLiteral("The file may not be written (%1)%2.").arg(reason_of(error), because)};
  }
  // Two saves of one file in place at once would mix their bytes.
  if (const int error = lock_file(file, options); error == EWOULDBLOCK)
    return {QStringLiteral("Another program is saving this file just now; try again once it has finished.")};
  else if (error != 0)
    return {reason_of(error)};
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return {reason_of(errno)};
  const std::optional<QByteArray> earlier = read_all(file.get(), status.st_size);
  if (!earlier) return {reason_of(errno)};
  auto kept = RecoveryCopy::keep(*earlier, whole_name(where), where.folder.get());
  if (const QString* why = std::get_if<QString>(&kept))
    return {QStringLiteral("The earlier contents could not be kept on disk first (%1), so the file was not "
                           "written%2.").arg(*why, because)};
  RecoveryCopy& copy = std::get<RecoveryCopy>(kept);

  HeldSignals held;
  held.hold();  // from the first changed byte until the file is whole again, new or earlier
  off_t reached = 0;
  int error = reserve(file.get(), off_t(bytes.size()));
  if (error == 0) error = overwrite(file.get(), bytes, status.st_mode, reached);
  if (error == 0) {
    // A close can fail after every write succeeded (a network file system):
    // the earlier bytes go back through a second descriptor then.
    Descriptor spare(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    error = file.close();
    if (error == 0) {
      copy.discard();
      return {};
    }
    file = std::move(spare);
    reached = off_t(bytes.size());
  }
  if (bytes.size() > earlier->size()) reached = std::max<off_t>(reached, off_t(bytes.size()));
  const int restore_error = file ? restore(file.get(), *earlier, status.st_mode, reached) : EBADF;
  if (restore_error == 0) {
    copy.discard();
    return {reason_of(error)};
  }
  return {QStringLiteral("%1; putting the earlier contents back failed too (%2), so the file holds neither. "
                         "Its earlier contents are kept in %3.").arg(reason_of(error), reason_of(restore_error), copy.where())};
}

}  // namespace vesk::files
