#include "platform/path_text.hpp"

#include "platform/cp932.hpp"

namespace tovrin::path_text {

bool IsSeparator(char byte) { return byte == '\\' || byte == '/'; }

std::size_t CharacterWidth(std::string_view text, std::size_t position) {
  const bool lead = cp932::IsLeadByte(static_cast<unsigned char>(text[position]));
  return lead && position + 1 < text.size() ? 2 : 1;
}

std::size_t LastSeparator(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); i += CharacterWidth(path, i)) {
    if (IsSeparator(path[i])) last = i;
  }
  return last;
}

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (std::size_t i = 0; i < path.size();) {
    const std::size_t width = CharacterWidth(path, i);
    if (width == 1 && IsSeparator(path[i])) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current.append(path.substr(i, width));
    }
    i += width;
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

bool ClimbsAboveStart(std::string_view relative) {
  int depth = 0;
  for (const std::string& part : Components(relative)) {
    if (part == ".") continue;
    depth += part == ".." ? -1 : 1;
    if (depth < 0) return true;
  }
  return false;
}

std::string SingleSeparators(std::string_view path) {
  const bool share =
      path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
  std::string shown = share ? "\\\\" : "";
  bool afterSeparator = share;
  for (std::size_t i = share ? 2 : 0; i < path.size();) {
    const std::size_t width = CharacterWidth(path, i);
    const bool separator = width == 1 && IsSeparator(path[i]);
    if (!separator) {
      shown.append(path.substr(i, width));
    } else if (!afterSeparator) {
      shown += '\\';
    }
    afterSeparator = separator;
    i += width;
  }
  return shown;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::string upperA(a);
  std::string upperB(b);
  cp932::MakeUpper(upperA);
  cp932::MakeUpper(upperB);
  return upperA == upperB;
}

std::string FolderWithSeparator(const std::string& folder) {
  if (!folder.empty() && LastSeparator(folder) == folder.size() - 1) return folder;
  return folder + '\\';
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  const std::string prefix = FolderWithSeparator(folder);
  return path.size() > prefix.size() &&
         EqualsIgnoreCase(std::string_view(path).substr(0, prefix.size()), prefix);
}

}  // namespace tovrin::path_text
