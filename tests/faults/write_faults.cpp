// Preloaded into the program (LD_PRELOAD) to cause the faults a save must
// survive, in the calls it makes on regular files, folders and their names:
//   VESK_FAULTS="CALL:N:ERRNO,…"  the Nth call of CALL (from 1) fails with that
//     errno, numerically; "N+" fails it and every later one. CALL is one of
//     write, pwrite, fsync (fsync or fdatasync of a file), dirsync (of a
//     folder), close (of a file written to), rename, link, ftruncate,
//     fallocate, tmpfile (an open with O_TMPFILE, as where a file system has none), removexattr (an
//     extended attribute or ACL taken off a file).
//   VESK_SLOW_WRITES=MS  each write or pwrite to a regular file waits MS first;
//     VESK_WRITING=FILE is made when the third begins (a signal may come then).
//   VESK_COUNT_CALLS=FILE  how many of each there were, written at exit.
// Calls on pipes, terminals and devices pass untouched.

#include <bitset>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Call { write_call, pwrite_call, fsync_call, dirsync_call, close_call, rename_call, link_call, ftruncate_call,
            fallocate_call, tmpfile_call, removexattr_call, calls };
const char* const kNames[calls] = {"write", "pwrite", "fsync", "dirsync", "close", "rename", "link", "ftruncate",
                                   "fallocate", "tmpfile", "removexattr"};
int counts[calls] = {};
std::bitset<4096> written;  // descriptors of files written to, whose close counts

// Whether this call is one to fail; sets errno when it is.
bool fails(Call call) {
  const int number = ++counts[call];
  const char* faults = std::getenv("VESK_FAULTS");
  for (const char* at = faults; at != nullptr; at = std::strchr(at, ',') ? std::strchr(at, ',') + 1 : nullptr) {
    char name[16] = {};
    int which = 0, error = 0;
    char onwards = 0;
    if (std::sscanf(at, "%15[a-z]:%d%c", name, &which, &onwards) != 3 || std::strcmp(name, kNames[call]) != 0) continue;
    if (std::sscanf(std::strchr(std::strchr(at, ':') + 1, ':') + 1, "%d", &error) != 1) continue;
    if (number == which || (onwards == '+' && number > which)) {
      errno = error;
      return true;
    }
  }
  return false;
}

mode_t kind_of(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// A write to a regular file: counted, slowed, perhaps failed.
bool write_fails(int fd, Call call) {
  if (kind_of(fd) != S_IFREG) return false;
  if (const char* slow = std::getenv("VESK_SLOW_WRITES")) {
    if (counts[write_call] + counts[pwrite_call] == 2)
      if (const char* marker = std::getenv("VESK_WRITING")) std::fclose(std::fopen(marker, "w"));
    usleep(useconds_t(std::atoi(slow)) * 1000);
  }
  if (fd >= 0 && fd < int(written.size())) written.set(size_t(fd));
  return fails(call);
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

struct Report {
  ~Report() {
    if (const char* file = std::getenv("VESK_COUNT_CALLS"))
      if (FILE* out = std::fopen(file, "w")) {
        for (int call = 0; call < calls; ++call) std::fprintf(out, "%s=%d\n", kNames[call], counts[call]);
        std::fclose(out);
      }
  }
} report;

int opened(int folder, const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE && fails(tmpfile_call)) return -1;
  return next<int (*)(int, const char*, int, mode_t)>("openat64")(folder, path, flags, mode);
}

// The mode is there only with O_CREAT or O_TMPFILE.
#define VESK_MODE_ARGUMENT(flags)                                                        \
  mode_t mode = 0;                                                                       \
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {                      \
    va_list rest;                                                                        \
    va_start(rest, flags);                                                               \
    mode = mode_t(va_arg(rest, int));                                                    \
    va_end(rest);                                                                        \
  }

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
  if (write_fails(fd, write_call)) return -1;
  return next<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, size);
}
ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
  if (write_fails(fd, pwrite_call)) return -1;
  return next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, data, size, offset);
}
ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) { return pwrite64(fd, data, size, offset); }

int fsync(int fd) {
  const mode_t kind = kind_of(fd);
  if ((kind == S_IFREG && fails(fsync_call)) || (kind == S_IFDIR && fails(dirsync_call))) return -1;
  return next<int (*)(int)>("fsync")(fd);
}
int fdatasync(int fd) {
  if (kind_of(fd) == S_IFREG && fails(fsync_call)) return -1;
  return next<int (*)(int)>("fdatasync")(fd);
}

int close(int fd) {
  const bool counted = fd >= 0 && fd < int(written.size()) && written.test(size_t(fd));
  if (counted) written.reset(size_t(fd));
  const int result = next<int (*)(int)>("close")(fd);
  // Closed all the same, as Linux does whatever close reports.
  if (counted && fails(close_call)) return -1;
  return result;
}

int rename(const char* from, const char* to) {
  if (fails(rename_call)) return -1;
  return next<int (*)(const char*, const char*)>("rename")(from, to);
}
int renameat(int from_folder, const char* from, int to_folder, const char* to) {
  if (fails(rename_call)) return -1;
  return next<int (*)(int, const char*, int, const char*)>("renameat")(from_folder, from, to_folder, to);
}
int renameat2(int from_folder, const char* from, int to_folder, const char* to, unsigned flags) {
  if (fails(rename_call)) return -1;
  return next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(from_folder, from, to_folder, to, flags);
}
int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
  if (fails(link_call)) return -1;
  return next<int (*)(int, const char*, int, const char*, int)>("linkat")(from_folder, from, to_folder, to, flags);
}

int ftruncate64(int fd, off_t length) {
  if (kind_of(fd) == S_IFREG && fails(ftruncate_call)) return -1;
  return next<int (*)(int, off_t)>("ftruncate64")(fd, length);
}
int ftruncate(int fd, off_t length) { return ftruncate64(fd, length); }
int fallocate64(int fd, int mode, off_t offset, off_t length) {
  if (kind_of(fd) == S_IFREG && fails(fallocate_call)) return -1;
  return next<int (*)(int, int, off_t, off_t)>("fallocate64")(fd, mode, offset, length);
}
int fallocate(int fd, int mode, off_t offset, off_t length) { return fallocate64(fd, mode, offset, length); }
int fremovexattr(int fd, const char* name) {
  if (fails(removexattr_call)) return -1;
  return next<int (*)(int, const char*)>("fremovexattr")(fd, name);
}

int open64(const char* path, int flags, ...) {
  VESK_MODE_ARGUMENT(flags)
  return opened(AT_FDCWD, path, flags, mode);
}
int open(const char* path, int flags, ...) {
  VESK_MODE_ARGUMENT(flags)
  return opened(AT_FDCWD, path, flags, mode);
}
int openat64(int folder, const char* path, int flags, ...) {
  VESK_MODE_ARGUMENT(flags)
  return opened(folder, path, flags, mode);
}
int openat(int folder, const char* path, int flags, ...) {
  VESK_MODE_ARGUMENT(flags)
  return opened(folder, path, flags, mode);
}
}
