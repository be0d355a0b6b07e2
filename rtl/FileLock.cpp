#include "rtl/FileLock.h"

#include <sys/file.h>

#include <cerrno>

namespace rtl {

bool LockExclusive(int descriptor) {
  while (flock(descriptor, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace rtl
