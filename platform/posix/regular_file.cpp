#include "platform/posix/regular_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tovrin {

int OpenRegularFile(const std::filesystem::path& host, int flags) {
  // Without blocking while the kind is not known yet; reads block again after.
  const int descriptor = ::open(host.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat status {};
  const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  if (!regular || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(descriptor);
    errno = regular ? errno : EINVAL;
    return -1;
  }
  return descriptor;
}

}  // namespace tovrin
