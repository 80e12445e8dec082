#include "platform/split_path.hpp"

#include "platform/path_text.hpp"

namespace tovrin {

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  const std::size_t separator = path_text::LastSeparator(path);
  if (separator != std::string_view::npos) {
    parts.directory = path.substr(0, separator + 1);
    path.remove_prefix(separator + 1);
  }
  // The extension starts at the last dot of the file name; a dot is never a
  // second byte, so a plain search is safe.
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) {
    parts.name = path;
    return parts;
  }
  parts.name = path.substr(0, dot);
  parts.extension = path.substr(dot);
  return parts;
}

}  // namespace tovrin
