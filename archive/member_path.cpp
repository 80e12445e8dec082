#include "archive/member_path.hpp"

#include <vector>

#include "platform/cp932.hpp"
#include "platform/windows_names.hpp"

namespace tovrin {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Components between separators; an empty first one marks an absolute name.
std::vector<std::string> SplitComponents(std::string_view name) {
  std::vector<std::string> components(1);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (IsSeparator(c)) {
      components.emplace_back();
      continue;
    }
    components.back().push_back(c);
    if (cp932::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
      components.back().push_back(name[++i]);
    }
  }
  return components;
}

bool IsDots(std::string_view component) { return component == "." || component == ".."; }

// A colon names a drive or a stream on Windows; no member may carry one.
bool HasColon(std::string_view component) {
  for (std::size_t i = 0; i < component.size(); ++i) {
    if (component[i] == ':') return true;
    if (cp932::IsLeadByte(static_cast<unsigned char>(component[i]))) ++i;
  }
  return false;
}

std::optional<MemberTarget> FlatTarget(const std::vector<std::string>& components) {
  const std::string& name = components.back();
  if (name.empty() || IsDots(name) || HasColon(name)) return std::nullopt;
  return MemberTarget{{}, name};
}

std::optional<MemberTarget> FolderTarget(const std::vector<std::string>& components) {
  if (components.front().empty() && components.size() > 1) return std::nullopt;  // absolute
  std::vector<std::string> kept;
  for (const std::string& component : components) {
    if (HasColon(component)) return std::nullopt;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (kept.empty()) return std::nullopt;
      kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  // The last component is the file itself: "a\.." or "a\" names no file.
  if (kept.empty() || components.back().empty() || IsDots(components.back())) return std::nullopt;
  MemberTarget target;
  target.name = kept.back();
  kept.pop_back();
  target.folders = std::move(kept);
  return target;
}

// Each name as Windows creates it; nullopt for a name it would not create
// (one of dots and blanks only, a device name), which Wine could not open.
std::optional<std::vector<std::string>> AsWindowsCreatesThem(std::vector<std::string> components) {
  for (std::string& component : components) {
    if (component.empty() || IsDots(component)) continue;
    component = windows_names::WithoutTrailingDotsAndBlanks(component);
    if (component.empty() || windows_names::IsReservedDeviceName(component)) return std::nullopt;
  }
  return components;
}

}  // namespace

std::string MemberDisplayName(std::string_view name) {
  std::string display(name);
  // '/' (0x2F) is never a second byte, so it may be replaced byte by byte.
  for (char& c : display) {
    if (c == '/') c = '\\';
  }
  return display;
}

bool EndsWithFolderSeparator(std::string_view name) {
  return !name.empty() && IsSeparator(name.back()) &&
         cp932::CharacterBoundary(name, name.size() - 1) == name.size() - 1;
}

std::string MemberTarget::RelativePath() const {
  std::string path;
  for (const std::string& folder : folders) path += folder + '\\';
  return path + name;
}

std::optional<MemberTarget> MemberTargetPath(std::string_view name, bool keepFolders) {
  const auto components = AsWindowsCreatesThem(SplitComponents(name));
  if (!components) return std::nullopt;
  return keepFolders ? FolderTarget(*components) : FlatTarget(*components);
}

}  // namespace tovrin
