#include "files/write_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QElapsedTimer>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "files/descriptors.h"
#include "files/path_walk.h"
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

// Whether the user may not write the file by its mode: as access() says for anyone but root, whom it lets write
// anything; for root, a file without a single write bit.
bool write_protected(int target, const struct stat& status) {
  if (::geteuid() == 0) return (status.st_mode & 0222) == 0;
  return ::faccessat(AT_FDCWD, files::descriptor_path(target).constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The pipe or socket `stream` (non-blocking) takes all of `bytes`, waiting for room as long as the save may, else
// at most kNoProgressMs for each piece; 0, the errno, or ETIME when the reader took nothing that long.
constexpr int kNoProgressMs = 5000;
int write_stream(int stream, const QByteArray& bytes, const WriteOptions& options) {
  for (qint64 done = 0; done < bytes.size();) {
    const ssize_t written = ::write(stream, bytes.constData() + done, size_t(std::min(bytes.size() - done, files::kWritePiece)));
    if (written > 0) {
      done += written;
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) return errno;
    pollfd wanted{stream, POLLOUT, 0};
    const int ready = ::poll(&wanted, 1, options.may_wait ? -1 : kNoProgressMs);
    if (ready == 0) return ETIME;
    if (ready < 0 && errno != EINTR) return errno;
  }
  return 0;
}

// Opens a FIFO for writing without hanging on a missing reader: at once, or (where the save may wait) as soon as
// a reader comes, saying so once it has taken a second.
files::Descriptor open_fifo(const QByteArray& opened, const WriteOptions& options, bool& no_reader) {
  const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  QElapsedTimer waited;
  waited.start();
  bool told = false;
  for (;;) {
    files::Descriptor stream(::open(opened.constData(), flags));
    if (stream || errno != ENXIO) return stream;
    if (!options.may_wait) return no_reader = true, files::Descriptor();
    if (!told && waited.elapsed() >= 1000 && options.waiting)
      told = true, options.waiting(QStringLiteral("Waiting for a program to read from the pipe…"));
    ::usleep(20'000);
  }
}

// A character device, a FIFO or a socket, open as `target`: written through.
std::optional<QString> write_node(const QByteArray& bytes, int target, mode_t type, const WriteOptions& options) {
  const QByteArray opened = files::descriptor_path(target);
  Descriptor stream;
  bool no_reader = false;
  if (S_ISSOCK(type)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(opened.size()) >= sizeof address.sun_path) return reason_of(ENAMETOOLONG);
    std::memcpy(address.sun_path, opened.constData(), size_t(opened.size()) + 1);
    stream = Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (stream && ::connect(stream.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS)
      return reason_of(errno == EAGAIN ? ECONNREFUSED : errno);
  } else if (S_ISFIFO(type)) {
    stream = open_fifo(opened, options, no_reader);
    if (no_reader) return QStringLiteral("No program reads from the pipe yet.");
  } else {
    stream = Descriptor(::open(opened.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  }
  if (!stream) return reason_of(errno);
  int error = write_stream(stream.get(), bytes, options);
  if (const int closed = stream.close(); error == 0) error = closed;
  if (error == ETIME)
    return QStringLiteral("The program at the other end took nothing for %1 seconds, so the save stopped there.")
        .arg(kNoProgressMs / 1000);
  return error == 0 ? std::nullopt : std::optional(reason_of(error));
}

// One walk and one write; the name changing meanwhile (or a stale handle) asks for another.
files::Written write_once(const QByteArray& bytes, const QByteArray& path, const WriteOptions& options) {
  auto walked = files::walk(path);
  if (const QString* refused = std::get_if<QString>(&walked)) return {*refused};
  files::Walked& where = std::get<files::Walked>(walked);
  if (!where.target) return files::write_new(bytes, where.folder.get(), where.folder_name, where.base, 0666);
  const struct stat& status = where.status;
  if (S_ISDIR(status.st_mode)) return {QStringLiteral("It is a folder.")};
  if (S_ISBLK(status.st_mode)) return {kBlockDevice};
  if (!S_ISREG(status.st_mode)) return {write_node(bytes, where.target.get(), status.st_mode, options)};
  if (!options.replace_protected && write_protected(where.target.get(), status))
    return {QStringLiteral("It is write-protected (its mode is %1), so it was left as it is.")
                .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'))};
  return files::write_existing(bytes, where, options);
}

}  // namespace

std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor) {
  if (files::was_closed_at_start(descriptor))
    return QStringLiteral("It was closed when the program started, so there is nothing to write to.");
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

bool names_a_write_protected_file(const QByteArray& path) {
  auto walked = files::walk(path);
  const files::Walked* where = std::get_if<files::Walked>(&walked);
  return where && where->target && S_ISREG(where->status.st_mode) && write_protected(where->target.get(), where->status);
}

std::optional<QString> write_file(const QByteArray& bytes, const QByteArray& path, const WriteOptions& options) {
  if (path.isEmpty()) return QStringLiteral("No file name was given.");
  if (const auto descriptor = named_descriptor(path)) return write_to_descriptor(bytes, *descriptor);
  // A name that comes to stand for another file while it is written (made or removed by someone else
  // meanwhile), or a handle a network or FUSE file system lets go stale, is looked at afresh.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const files::Written written = write_once(bytes, path, options);
    const bool stale = written.reason && written.reason == reason_of(ESTALE);
    if (!written.name_changed && !stale) return written.reason;
  }
  return QStringLiteral("The name kept changing to stand for other files while it was saved.");
}

}  // namespace vesk
