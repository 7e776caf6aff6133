#pragma once
// Writing a file's bytes so that a failure loses nothing and the file stays
// what it was. Every save of the window and the command line ends here.
//
// The name is bytes, used as given. The kernel opens it, through links, so its
// own rules hold; a link owned by another user in a folder everyone may write
// to (sticky, like /tmp) is refused even where the system would follow it.
// What was opened decides how:
// - /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N: the descriptor
//   the program holds, written as a stream (appending where it was opened so).
// - A name not taken yet: a new file, written and synced before it gets its
//   name, so it appears whole or not at all.
// - A regular file with one name: a new file that takes the earlier one's
//   owner, group, mode bits, ACL and extended attributes, renamed over it,
//   where all of that can be kept; the earlier file keeps a second name until
//   the folder is synced, so a late failure can put it back.
// - Otherwise, a regular file in place (other names, another owner, a folder
//   that allows no new files, no free inodes), under an advisory lock: the
//   earlier bytes are read into memory and the new size reserved before a
//   byte changes; from then until the file is whole and synced, SIGINT,
//   SIGTERM, SIGHUP and SIGQUIT wait. On failure the earlier bytes are put
//   back; should that fail too, they are kept in a recovery file that the
//   message names.
// - A character device, a FIFO or a socket: written through as a stream; the
//   node stays what it was.
// - Refused: a folder, a block device (a disk), a loop of links, a link to
//   nothing.
// Each write, sync, close, rename and the folder's sync is checked before
// success is said; on failure the reason names the system's cause, the
// earlier file is as it was, byte for byte, and no temporary file is left.

#include <QByteArray>
#include <QString>
#include <optional>

namespace vesk {

// Whether a save may wait: for a FIFO's reader, for another save of the same
// file to end. The window cannot without freezing; a command line can.
enum class Waiting { no, yes };

std::optional<QString> write_file(const QByteArray& bytes, const QByteArray& path, Waiting wait = Waiting::no);

// All of `bytes` to an open descriptor (standard output), as a stream.
std::optional<QString> write_to_descriptor(const QByteArray& bytes, int descriptor);

// Whether the name stands for something that is there and is no regular file
// (a device, a pipe, /dev/stdout): nothing is added to such a name.
bool names_a_special_file(const QByteArray& path);

}  // namespace vesk
