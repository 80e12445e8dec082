#include "platform/posix/dos_attributes.hpp"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/windows_types.hpp"

namespace tovrin::dos_attributes {
namespace {

constexpr const char* kAttributeName = "user.DOSATTRIB";

bool Unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

}  // namespace

bool IsReadOnly(const struct stat& status) { return (status.st_mode & 0222) == 0; }

std::uint8_t ReadStored(const std::filesystem::path& host) {
  char value[64] = {};
  const ssize_t length = getxattr(host.c_str(), kAttributeName, value, sizeof value - 1);
  // Wine writes the bits as a hexadecimal text: "0x22".
  if (length < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return 0;
  value[length] = '\0';
  return static_cast<std::uint8_t>(std::strtoul(value + 2, nullptr, 16) & kStoredBits);
}

bool WriteStored(const std::filesystem::path& host, std::uint8_t bits) {
  bits &= kStoredBits;
  if (bits == 0) {
    const bool removed = removexattr(host.c_str(), kAttributeName) == 0;
    return removed || errno == ENODATA || Unsupported(errno);
  }
  char value[8];
  const int length = std::snprintf(value, sizeof value, "0x%x", static_cast<unsigned>(bits));
  if (setxattr(host.c_str(), kAttributeName, value, static_cast<std::size_t>(length), 0) == 0) {
    return true;
  }
  return Unsupported(errno);
}

std::uint8_t Read(const std::filesystem::path& host, const struct stat& status) {
  std::uint8_t attribute = ReadStored(host);
  if (S_ISDIR(status.st_mode)) attribute |= ATTR_DIRECTORY;
  if (IsReadOnly(status)) attribute |= ATTR_READONLY;
  return attribute;
}

bool Write(const std::filesystem::path& host, std::uint8_t attribute) {
  struct stat status {};
  if (stat(host.c_str(), &status) != 0) return false;
  const bool readOnly = (attribute & ATTR_READONLY) != 0;
  // Windows does not stop writes into a read-only folder; its write bits stay.
  if (!S_ISDIR(status.st_mode) && readOnly != IsReadOnly(status)) {
    const mode_t mode = readOnly ? (status.st_mode & 07555) : ((status.st_mode & 07777) | 0200);
    if (chmod(host.c_str(), mode) != 0) return false;
  }
  return WriteStored(host, attribute);
}

}  // namespace tovrin::dos_attributes
