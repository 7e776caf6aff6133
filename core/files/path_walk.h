#pragma once
// A name to write, walked one part at a time from a descriptor, so that the kernel's rules for shared folders
// hold at every part and nothing can be swapped between a check and its use: each part is opened without
// following it (O_PATH | O_NOFOLLOW), looked at, and only then followed, from the descriptor of the folder it is
// in. Whatever the machine's settings say:
// - a link in a sticky folder that everyone may write to is followed only by its owner or the folder's owner
//   (fs.protected_symlinks), anywhere in the name;
// - a regular file, FIFO or socket in a sticky folder that others may write to is written only by its owner or
//   the folder's owner (fs.protected_regular and protected_fifos at level 2), since anyone there could have put
//   it there for us to write into.
// Every later step works from the descriptors the walk opened.

#include <QByteArray>
#include <QString>
#include <sys/stat.h>
#include <variant>

#include "files/descriptors.h"

namespace vesk::files {

struct Walked {
  Descriptor folder;        // the folder the last part is in (O_PATH)
  struct stat folder_status {};
  QByteArray folder_name;   // that folder as the walk reached it, for messages and the recovery copy's note
  QByteArray base;          // the last part, after every link
  Descriptor target;        // what the last part names (O_PATH), or none: the name is free
  struct stat status {};    // of the target
};

// The walked name, or why it may not be written (the reason in words).
std::variant<Walked, QString> walk(const QByteArray& path);

}  // namespace vesk::files
