#include "files/write_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/write_paths.h"

namespace vesk {
namespace {

using files::Descriptor;
using files::reason_of;

const QString kBlockDevice = QStringLiteral(
    "It is a block device (a disk or a partition); a picture is never written over one.");

// The descriptor a name stands for by itself, whatever file that is.
std::optional<int> named_descriptor(const QByteArray& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const QByteArray& prefix : {QByteArray("/dev/fd/"), QByteArray("/proc/self/fd/")}) {
    const QByteArray digits = path.mid(prefix.size());
    if (!path.startsWith(prefix) || digits.isEmpty() || digits.size() > 9) continue;
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return digits.toInt();
  }
  return std::nullopt;
}

// The kernel's rule for links (fs.protected_symlinks), applied whatever the
// setting: a link in a sticky folder that everyone may write to is followed
// only by its owner or the folder's. Another user could aim it at any file.
bool planted_link(const QByteArray& path, const struct stat& link) {
  struct stat folder {};
  if (::stat(files::split_name(path).first.constData(), &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
  return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

// A character device, a FIFO or a socket, open as `target`: written through.
std::optional<QString> write_node(const QByteArray& bytes, int target, mode_t type, const QByteArray& path,
                                  Waiting wait) {
  const QByteArray opened = files::descriptor_path(target);
  Descriptor stream;
  if (S_ISSOCK(type)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, opened.constData(), size_t(opened.size()) + 1);
    stream = Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (stream && ::connect(stream.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
      return reason_of(errno);
  } else {
    // Without waiting for a FIFO's reader: once one is there, the writes wait for it as any pipe's do.
    const bool without_waiting = S_ISFIFO(type) && wait == Waiting::no;
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (without_waiting ? O_NONBLOCK : 0);
    stream = Descriptor(::open(opened.constData(), flags));
    if (!stream && errno == ENOENT) stream = Descriptor(::open(path.constData(), flags));  // no /proc here
    if (!stream && errno == ENXIO && S_ISFIFO(type)) return QStringLiteral("No program reads from the pipe yet.");
    if (stream && without_waiting) ::fcntl(stream.get(), F_SETFL, ::fcntl(stream.get(), F_GETFL) & ~O_NONBLOCK);
  }
  if (!stream) return reason_of(errno);
  int error = files::write_all(stream.get(), bytes);
  if (const int closed = stream.close(); error == 0) error = closed;
  return error == 0 ? std::nullopt : std::optional(reason_of(error));
}

}  // namespace

std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return reason_of(errno);
  if (S_ISBLK(status.st_mode)) return kBlockDevice;
  const int error = files::write_all(descriptor, bytes);
  return error == 0 ? std::nullopt : std::optional(reason_of(error));
}

bool names_a_special_file(const QByteArray& path) {
  struct stat status {};
  if (named_descriptor(path)) return true;
  if (::lstat(path.constData(), &status) != 0) return false;
  // A link that leads nowhere (a loop, a missing file) is there too.
  return ::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode);
}

std::optional<QString> write_file(const QByteArray& bytes, const QByteArray& path, Waiting wait) {
  if (path.isEmpty()) return QStringLiteral("No file name was given.");
  if (const auto descriptor = named_descriptor(path)) return write_to_descriptor(bytes, *descriptor);
  // A name that comes to stand for another file while it is written (made or
  // removed by someone else meanwhile) is looked at afresh.
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat link {};
    const bool is_link = ::lstat(path.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    if (is_link && planted_link(path, link))
      return QStringLiteral("It is a link owned by another user in a folder that everyone may write to; such links "
                            "are not followed, since anyone there could aim one at any file.");
    const Descriptor target(::open(path.constData(), O_PATH | O_CLOEXEC));
    files::Written written;
    if (!target) {
      const int error = errno;
      if (error == ENOENT && is_link) return QStringLiteral("It is a link to a file that does not exist.");
      if (error == ELOOP) return QStringLiteral("It is a loop of links (%1).").arg(reason_of(error));
      if (error != ENOENT) return reason_of(error);
      written = files::write_new(bytes, path, 0666);
    } else {
      struct stat status {};
      if (::fstat(target.get(), &status) != 0) return reason_of(errno);
      if (S_ISDIR(status.st_mode)) return QStringLiteral("It is a folder.");
      if (S_ISBLK(status.st_mode)) return kBlockDevice;
      if (!S_ISREG(status.st_mode)) return write_node(bytes, target.get(), status.st_mode, path, wait);
      written = files::write_existing(bytes, target.get(), status, path, wait);
    }
    if (!written.name_changed) return written.reason;
  }
  return QStringLiteral("The name kept changing to stand for other files while it was saved.");
}

}  // namespace vesk
