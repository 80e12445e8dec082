#include "platform/windows_names.hpp"

#include <algorithm>
#include <array>

#include "platform/path_text.hpp"

namespace tovrin::windows_names {
namespace {

bool IsDroppedAtEnd(char byte) { return byte == '.' || byte == ' '; }

bool IsNumberedDevice(std::string_view base) {
  if (base.size() != 4 || base[3] < '1' || base[3] > '9') return false;
  const std::string_view device = base.substr(0, 3);
  return path_text::EqualsIgnoreCase(device, "COM") || path_text::EqualsIgnoreCase(device, "LPT");
}

}  // namespace

std::string WithoutTrailingDotsAndBlanks(std::string_view name) {
  if (name == "." || name == "..") return std::string(name);
  while (!name.empty() && IsDroppedAtEnd(name.back())) name.remove_suffix(1);
  return std::string(name);
}

bool IsReservedDeviceName(std::string_view name) {
  // The part before the first dot, without the blanks Windows ignores there.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  return IsNumberedDevice(base) ||
         std::any_of(kDevices.begin(), kDevices.end(), [base](std::string_view device) {
           return path_text::EqualsIgnoreCase(base, device);
         });
}

}  // namespace tovrin::windows_names
