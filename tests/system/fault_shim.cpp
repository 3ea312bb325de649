// Preloaded into the program by the system tests: makes the calls named in
// CARDLIFT_FAULTS fail as a file system that cannot do them would. flock:
// ENOLCK (an NFS mount without locking); ftruncate to a size above 0: EIO
// (a cut-back the file system refuses); fsync: EIO (a write the storage
// lost after taking it).
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool failing(const char* call) {
  const char* faults = std::getenv("CARDLIFT_FAULTS");
  return faults != nullptr && std::strstr(faults, call) != nullptr;
}

}  // namespace

extern "C" int flock(int descriptor, int operation) {
  if (failing("flock")) {
    errno = ENOLCK;
    return -1;
  }
  return static_cast<int>(syscall(SYS_flock, descriptor, operation));
}

extern "C" int ftruncate(int descriptor, off_t size) {
  if (size > 0 && failing("ftruncate")) {
    errno = EIO;
    return -1;
  }
  return static_cast<int>(syscall(SYS_ftruncate, descriptor, size));
}

extern "C" int fsync(int descriptor) {
  if (failing("fsync")) {
    errno = EIO;
    return -1;
  }
  return static_cast<int>(syscall(SYS_fsync, descriptor));
}
