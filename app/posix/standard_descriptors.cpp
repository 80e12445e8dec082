#include "app/posix/standard_descriptors.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tovrin {

bool OpenClosedStandardDescriptors() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is the one that was closed.
    const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != descriptor) return false;
  }
  return true;
}

}  // namespace tovrin
