// Preloaded into the program (LD_PRELOAD) to make one write to a regular file
// fail: VESK_FAIL_WRITE="N:ERRNO" fails the Nth such write (from 1) with that
// errno, numerically. VESK_COUNT_WRITES=FILE writes how many there were at exit.
// Writes to pipes, terminals and devices pass untouched.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int writes = 0;

// Whether this write is the one to fail; sets errno when it is.
bool fails(int descriptor) {
  struct stat status {};
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  ++writes;
  int which = 0, error = 0;
  const char* setting = std::getenv("VESK_FAIL_WRITE");
  if (setting == nullptr || std::sscanf(setting, "%d:%d", &which, &error) != 2 || which != writes) return false;
  errno = error;
  return true;
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

struct Report {
  ~Report() {
    if (const char* file = std::getenv("VESK_COUNT_WRITES"))
      if (FILE* out = std::fopen(file, "w")) std::fprintf(out, "%d\n", writes), std::fclose(out);
  }
} report;

}  // namespace

extern "C" {

ssize_t write(int descriptor, const void* data, size_t size) {
  if (fails(descriptor)) return -1;
  return next<ssize_t (*)(int, const void*, size_t)>("write")(descriptor, data, size);
}

ssize_t pwrite64(int descriptor, const void* data, size_t size, off_t offset) {
  if (fails(descriptor)) return -1;
  return next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(descriptor, data, size, offset);
}

ssize_t pwrite(int descriptor, const void* data, size_t size, off_t offset) {
  return pwrite64(descriptor, data, size, offset);
}
}
