#include "archive/archive_message.hpp"

#include <cstring>

#include "platform/cp932.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

std::string ArchiveMessage(std::string_view format, std::initializer_list<std::string_view> args) {
  const std::string text = cp932::Text(format);
  std::string message;
  auto next = args.begin();
  std::size_t position = 0;
  for (;;) {
    // '%' is never the second byte of a CP932 character, so a byte search is safe.
    const std::size_t placeholder = text.find("%s", position);
    if (placeholder == std::string::npos || next == args.end()) break;
    message.append(text, position, placeholder - position);
    message.append(*next++);
    position = placeholder + 2;
  }
  message.append(text, position);
  return message;
}

void CopyToOutput(std::string_view message, char* output, DWORD size) {
  if (output == nullptr || size == 0) return;
  const std::string shown = WithVisibleNul(message);
  const std::size_t length = cp932::CharacterBoundary(shown, size - 1);
  std::memcpy(output, shown.data(), length);
  output[length] = '\0';
}

}  // namespace tovrin
