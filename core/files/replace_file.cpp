// New files, and new files renamed over earlier ones that they take the place
// of, owner, mode, ACL and attributes and all.

#include <QMap>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/held_signals.h"
#include "files/write_paths.h"

namespace vesk::files {
namespace {

// A new file in a folder, not yet in its place: with no name at all where the
// file system allows (O_TMPFILE), so nothing is left should the program end;
// else under a short hidden name, which fits beside a 255-byte one.
struct Temporary {
  Descriptor file;
  QByteArray name;  // empty while it has none
  int error = 0;
};

QByteArray fresh_name() {
  return ".vesk-plot-" + QByteArray::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36);
}

Temporary make_temporary(int folder, mode_t mode) {
  Temporary made;
  made.file = Descriptor(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
  if (made.file) return made;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    made.error = errno;
    return made;
  }
  for (int tries = 0; tries < 100; ++tries) {
    made.name = fresh_name();
    made.file = Descriptor(::openat(folder, made.name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
    if (made.file || errno != EEXIST) break;
  }
  if (!made.file) made.error = errno, made.name.clear();
  return made;
}

// A second, fresh name in `folder` for what `from` names there (`from_fd`:
// the descriptor of a file without a name); 0 or the errno.
int second_name(int folder, const QByteArray& from, int from_fd, QByteArray& name) {
  for (int tries = 0; tries < 100; ++tries) {
    name = fresh_name();
    const int linked = from.isEmpty() ? ::linkat(AT_FDCWD, descriptor_path(from_fd).constData(), folder,
                                                 name.constData(), AT_SYMLINK_FOLLOW)
                                      : ::linkat(folder, from.constData(), folder, name.constData(), 0);
    if (linked == 0) return 0;
    if (errno != EEXIST) break;
  }
  name.clear();
  return errno;
}

// So that the new name outlives a crash. A folder that may not be read cannot
// be opened for that; the system syncs it in its own time.
int sync_folder(int folder) {
  const Descriptor readable(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!readable) return errno == EACCES ? 0 : errno;
  return sync(readable.get(), false);
}

// A file's extended attributes by name, its ACL among them (system.posix_acl_access).
std::optional<QMap<QByteArray, QByteArray>> attributes(int fd) {
  const QByteArray path = descriptor_path(fd);
  const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP ? std::optional(QMap<QByteArray, QByteArray>()) : std::nullopt;
  QByteArray names(size, '\0');
  if (::listxattr(path.constData(), names.data(), size_t(size)) != size) return std::nullopt;
  QMap<QByteArray, QByteArray> found;
  for (const QByteArray& name : names.split('\0')) {
    if (name.isEmpty()) continue;
    const ssize_t length = ::getxattr(path.constData(), name.constData(), nullptr, 0);
    QByteArray value(std::max<ssize_t>(length, 0), '\0');
    if (length < 0 || ::getxattr(path.constData(), name.constData(), value.data(), size_t(length)) != length)
      return std::nullopt;
    found.insert(name, value);
  }
  return found;
}

// The inode flags a user may set (chattr +S +d +A, compression), taken from the earlier file; false where the new
// one cannot have them. Read through a descriptor of its own, which an unreadable file does not give.
bool take_flags(int fresh, int earlier) {
  constexpr int kKept = FS_SYNC_FL | FS_NODUMP_FL | FS_NOATIME_FL | FS_COMPR_FL | FS_NOCOMP_FL;
  const Descriptor from(::open(descriptor_path(earlier).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  int wanted = 0, have = 0;
  if (!from || ::ioctl(from.get(), FS_IOC_GETFLAGS, &wanted) != 0 || (wanted & kKept) == 0) return true;
  if (::ioctl(fresh, FS_IOC_GETFLAGS, &have) != 0) return false;
  int flags = (have & ~kKept) | (wanted & kKept);
  return flags == have || ::ioctl(fresh, FS_IOC_SETFLAGS, &flags) == 0;
}

// Whether the new file could be given all that makes the earlier one what it
// is: owner and group (which only some may give), every mode bit, the ACL,
// the other extended attributes and the inode flags. Checked afterwards, since the system
// silently drops what it does not allow (a setgid bit for a group one is not in).
bool take_identity(int fresh, int earlier, const struct stat& wanted) {
  struct stat status {};
  if (::fstat(fresh, &status) != 0) return false;
  // In this order: a change of owner clears the setuid and setgid bits and file capabilities.
  if ((status.st_uid != wanted.st_uid || status.st_gid != wanted.st_gid) &&
      ::fchown(fresh, wanted.st_uid, wanted.st_gid) != 0)
    return false;
  const auto earlier_attributes = attributes(earlier), fresh_attributes = attributes(fresh);
  if (!earlier_attributes || !fresh_attributes) return false;
  for (auto it = fresh_attributes->begin(); it != fresh_attributes->end(); ++it)  // an ACL the folder handed down
    if (!earlier_attributes->contains(it.key()) && ::fremovexattr(fresh, it.key().constData()) != 0) return false;
  for (auto it = earlier_attributes->begin(); it != earlier_attributes->end(); ++it)
    if (fresh_attributes->value(it.key()) != it.value() || !fresh_attributes->contains(it.key()))
      if (::fsetxattr(fresh, it.key().constData(), it.value().constData(), size_t(it.value().size()), 0) != 0)
        return false;
  if (!take_flags(fresh, earlier) || ::fchmod(fresh, wanted.st_mode & 07777) != 0 || ::fstat(fresh, &status) != 0)
    return false;
  return status.st_uid == wanted.st_uid && status.st_gid == wanted.st_gid &&
         (status.st_mode & 07777) == (wanted.st_mode & 07777) && attributes(fresh) == earlier_attributes;
}

// Whether the folder is append-only (chattr +a): a new file there could take no name in place of the earlier one,
// nor be removed again.
bool append_only(int folder) {
  const Descriptor readable(::open(descriptor_path(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  int flags = 0;
  return readable && ::ioctl(readable.get(), FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL);
}

// Whether the file is mounted on its own (a bind mount): no other file can take its place.
bool mounted_on_its_own(int target) {
  struct statx status {};
  return ::statx(target, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &status) == 0 &&
         (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (status.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// The earlier file replaced by a new one where that keeps what the file is;
// std::nullopt where it would not: it is to be written in place then
// (`no_new_files`: because its folder would take no new file).
std::optional<Written> replace(const QByteArray& bytes, const Walked& where, const WriteOptions& options,
                               bool& no_new_files) {
  const struct stat& status = where.status;
  const int folder = where.folder.get(), target = where.target.get();
  if (status.st_nlink != 1 || mounted_on_its_own(target) || append_only(folder)) return std::nullopt;
  // The lock a save in place takes, held until the new file has the name.
  const Descriptor locked(::open(descriptor_path(target).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (locked && lock_file(locked, options) == EWOULDBLOCK)
    return Written{QStringLiteral("Another program is saving this file just now; try again once it has finished.")};
  struct stat there {};
  if (::fstatat(folder, where.base.constData(), &there, AT_SYMLINK_NOFOLLOW) != 0 || there.st_ino != status.st_ino ||
      there.st_dev != status.st_dev)
    return Written{std::nullopt, true};  // moved or swapped meanwhile: walked again

  HeldSignals held;
  Temporary fresh = make_temporary(folder, status.st_mode & 0777);
  if (!fresh.file) {
    no_new_files = fresh.error == EACCES || fresh.error == EPERM;
    return std::nullopt;  // no new file here (not allowed, no free inodes): in place needs none
  }
  if (!fresh.name.isEmpty()) held.remove_on_signal(folder, fresh.name);
  const auto drop_fresh = [&] {
    if (!fresh.name.isEmpty()) ::unlinkat(folder, fresh.name.constData(), 0);
  };
  if (!take_identity(fresh.file.get(), target, status)) return drop_fresh(), std::nullopt;
  int error = write_all(fresh.file.get(), bytes);
  // Writing clears the setuid bit, the setgid bit of a file its group may run and file capabilities, for a user
  // without CAP_FSETID: given again, and checked again.
  errno = 0;
  if (error == 0 && !take_identity(fresh.file.get(), target, status)) error = errno ? errno : EPERM;
  if (error == 0) error = sync(fresh.file.get(), false);
  held.hold();
  if (error == 0 && fresh.name.isEmpty()) error = second_name(folder, {}, fresh.file.get(), fresh.name);
  // A file system whose files take no other name (a bind mount across, some FUSE): in place, nothing changed yet.
  if (error == EXDEV || (error == EPERM && fresh.name.isEmpty())) return drop_fresh(), std::nullopt;
  if (const int closed = fresh.file.close(); error == 0) error = closed;
  // The earlier file keeps a second name until the new one is safely in its
  // place, so a late failure can put it back. A file system without links cannot.
  QByteArray kept;
  if (error == 0) error = second_name(folder, where.base, -1, kept);
  if (error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == EXDEV) error = 0;
  bool replaced = false;
  if (error == 0) {
    replaced = ::renameat(folder, fresh.name.constData(), folder, where.base.constData()) == 0;
    if (replaced) fresh.name.clear();
    else error = errno;
  }
  if (!replaced && (error == EBUSY || error == EXDEV)) {  // the name is a mount point after all
    if (!kept.isEmpty()) ::unlinkat(folder, kept.constData(), 0);
    return drop_fresh(), std::nullopt;
  }
  if (error == 0) error = sync_folder(folder);
  QString lost;
  if (error != 0 && replaced) {
    if (!kept.isEmpty() && ::renameat(folder, kept.constData(), folder, where.base.constData()) == 0) {
      kept.clear();
      sync_folder(folder);
    } else {
      lost = kept.isEmpty() ? QStringLiteral("; this file system keeps no second name, so the earlier file is lost")
                            : QStringLiteral("; the earlier file could not be put back and is kept as %1")
                                  .arg(QString::fromLocal8Bit(where.folder_name + '/' + kept));
      kept.clear();
    }
  }
  if (!kept.isEmpty()) ::unlinkat(folder, kept.constData(), 0);
  drop_fresh();
  return Written{error == 0 ? std::nullopt : std::optional(reason_of(error) + lost)};
}

}  // namespace

Written write_new(const QByteArray& bytes, int folder, const QByteArray& folder_name, const QByteArray& base,
                  mode_t mode) {
  if (base.isEmpty() || base == "." || base == "..") return {QStringLiteral("It is a folder.")};
  HeldSignals held;
  Temporary fresh = make_temporary(folder, mode);
  if (!fresh.file) {
    if (fresh.error != EACCES && fresh.error != EPERM && fresh.error != EROFS) return {reason_of(fresh.error)};
    return {QStringLiteral("The folder %1 does not allow new files (%2).")
                .arg(QString::fromLocal8Bit(folder_name), reason_of(fresh.error))};
  }
  if (!fresh.name.isEmpty()) held.remove_on_signal(folder, fresh.name);
  int error = write_all(fresh.file.get(), bytes);
  if (error == 0) error = sync(fresh.file.get(), false);
  held.hold();
  // Named in one step that never takes the place of a file someone made meanwhile.
  bool named = false;
  if (error == 0 && fresh.name.isEmpty()) {
    named = ::linkat(AT_FDCWD, descriptor_path(fresh.file.get()).constData(), folder, base.constData(),
                     AT_SYMLINK_FOLLOW) == 0;
  } else if (error == 0) {
    named = ::renameat2(folder, fresh.name.constData(), folder, base.constData(), RENAME_NOREPLACE) == 0;
    if (!named && (errno == EINVAL || errno == ENOSYS))  // a file system without it
      named = ::renameat(folder, fresh.name.constData(), folder, base.constData()) == 0;
    if (named) fresh.name.clear();
  }
  if (error == 0 && !named) error = errno;
  if (const int closed = fresh.file.close(); error == 0) error = closed;
  if (error == 0) error = sync_folder(folder);
  if (error != 0 && named) ::unlinkat(folder, base.constData(), 0);
  if (!fresh.name.isEmpty()) ::unlinkat(folder, fresh.name.constData(), 0);
  if (error == EEXIST) return {std::nullopt, true};
  return {error == 0 ? std::nullopt : std::optional(reason_of(error))};
}

Written write_existing(const QByteArray& bytes, const Walked& where, const WriteOptions& options) {
  bool no_new_files = false;
  if (auto replaced = replace(bytes, where, options, no_new_files)) return *replaced;
  return write_in_place(bytes, where, options, no_new_files);
}

}  // namespace vesk::files
