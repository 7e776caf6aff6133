#pragma once
// What the ways of writing a file share: a descriptor that closes itself, the
// system calls that may be cut short done whole, and the system's reasons in words.

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>
#include <utility>

namespace vesk::files {

// An open descriptor, closed when it goes out of scope unless close() was
// called first to hear what the close said.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor();

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // 0, or the errno of the close: a network file system's last word on the writes.
  int close();

 private:
  int fd_ = -1;
};

QString reason_of(int error);

// "/proc/self/fd/N": the very file a descriptor holds, for the calls that take
// a name, without walking the name the user gave again.
QByteArray descriptor_path(int fd);

// 0, or the errno of the write that failed: at `offset` when given, else at
// the descriptor's own position (a stream). A write the system cuts short is
// tried again for the rest, which brings out its reason (a full disk, the
// file-size limit). `done`, where given: the bytes written, at most kWritePiece a call.
inline constexpr qint64 kWritePiece = 64 * 1024;
int write_all(int fd, const QByteArray& bytes, std::optional<off_t> offset = std::nullopt, qint64* done = nullptr);
// The whole file from its start, or std::nullopt with errno set.
std::optional<QByteArray> read_all(int fd, off_t size);
// fsync (or fdatasync with `data_only`), tried again when a signal cut it
// short; 0 or the errno.
int sync(int fd, bool data_only);

// The standard descriptors closed when the program started, opened on /dev/null then so that no file opened
// later takes their number (and a write meant for standard output lands in it); whether `fd` was one of them.
void open_closed_standard_descriptors();
bool was_closed_at_start(int fd);
// The same as bits (N: descriptor N), to hand on to a module that keeps its own.
int closed_at_start_mask();
void set_closed_at_start(int mask);

// The folder part and the last part of a name: "a/b" → "a", "b"; "b" → ".", "b".
std::pair<QByteArray, QByteArray> split_name(const QByteArray& path);

}  // namespace vesk::files
