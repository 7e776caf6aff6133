#pragma once
// Writing a file's bytes so that a failure loses nothing and the file stays
// what it was. Every save of the window and the command line ends here.
//
// The name is bytes, used as given. It is walked one part at a time from a
// descriptor (path_walk.h), with the kernel's rules for shared folders applied
// at every part whatever the machine's settings say; each later step works
// from what the walk opened. What was opened decides how:
// - /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N: the descriptor
//   the program holds, written as a stream (appending where it was opened so);
//   one that was closed when the program started is said to be so.
// - A name not taken yet: a new file, written and synced before it gets its
//   name, so it appears whole or not at all.
// - A regular file with one name: a new file that takes the earlier one's
//   owner, group, ACL, extended attributes and inode flags, and after the last
//   write its mode bits, renamed over it where all of that can be kept; the
//   earlier file keeps a second name until the folder is synced, so a late
//   failure can put it back. Under the advisory lock a save in place takes too.
// - Otherwise, a regular file in place (other names, another owner, a folder
//   that allows no new files or is append-only, a file mounted on its own):
//   under an advisory lock, the earlier bytes are first kept in a private
//   recovery copy on disk (recovery.h), then the file is overwritten; from the
//   first changed byte until it is whole and synced, SIGINT, SIGTERM, SIGHUP and
//   SIGQUIT wait. On failure what was overwritten is put back and what grew is
//   cut back; should that fail too, the message names the recovery copy, which
//   also outlives a kill -9.
// - A character device, a FIFO or a socket: written through as a stream; the
//   node stays what it was. A pipe or socket that takes nothing for 5 seconds
//   ends the save with that said, unless the save may wait.
// - Refused: a folder, a block device (a disk), a loop of links, a link to
//   nothing, a file write-protected by its mode (unless the user said to
//   replace it), a planted link or file in a shared folder.
// Each write, sync, close, rename and the folder's sync is checked before
// success is said; on failure the reason names the system's cause, the
// earlier file is as it was, byte for byte, and no temporary file is left.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace vesk {

struct WriteOptions {
  // Whether the save may wait: for a FIFO's reader, for another save of the same file to end. The window may
  // not; a command line may, as cat does.
  bool may_wait = false;
  // Told once, with what is waited for, when a wait has lasted a second.
  std::function<void(const QString&)> waiting;
  // A file write-protected by its mode is replaced all the same (the user was asked).
  bool replace_protected = false;
};

std::optional<QString> write_file(const QByteArray& bytes, const QByteArray& path, const WriteOptions& options = {});

// All of `bytes` to an open descriptor (standard output), as a stream.
std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor);

// Whether the name stands for something that is there and is no regular file
// (a device, a pipe, /dev/stdout): nothing is added to such a name.
bool names_a_special_file(const QByteArray& path);

// Whether the name is a regular file its user may not write by its mode (for root: one without a write bit),
// which a save replaces only when told to.
bool names_a_write_protected_file(const QByteArray& path);

}  // namespace vesk
