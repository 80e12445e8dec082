#include "engine/master_folder.hpp"

#include <exception>
#include <optional>
#include <vector>

#include "engine/master_conversion.hpp"
#include "engine/master_rewrite.hpp"
#include "platform/profile.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

// Room for any value a profile file can give. A prefix cut to a 64-byte
// buffer would name another folder, whose conversion would then be
// reported as done.
constexpr DWORD kPrefixBufferSize = 32768;

int ConvertListedMasters(FileSystem& files, const std::string& folder, MasterLineRule rule,
                         RunEvents& events) {
  std::vector<std::string> names;
  // A folder that cannot be listed is no empty folder: its masters would
  // silently stay unconverted.
  if (ListMatchingFiles(files, names, folder + std::string(kMasterPattern)) < 0) return 0;
  for (const auto& name : names) {
    const auto recordsRewritten = RewriteMasterFile(files, folder, name, rule);
    if (!recordsRewritten) return 0;
    if (*recordsRewritten != 0) {
      events.MasterConverted(path_text::SingleSeparators(folder + name), *recordsRewritten);
    }
  }
  return 1;
}

}  // namespace

std::optional<std::string> MasterFolderPrefix(FileSystem& files, const std::string& settingsPath) {
  return ReadProfileText(files, "DIR", "MASTER", "", kPrefixBufferSize, settingsPath);
}

std::vector<std::string> MasterFolders(const std::string& prefix) {
  return {prefix + "1\\", prefix + "21\\"};
}

int ConvertMasterFolder(FileSystem& files, const std::string& folder, MasterLineRule rule,
                        RunEvents& events) {
  // A failure of the file system or of memory counts as a master that could
  // not be converted: the run warns and goes on, as for any other failure.
  try {
    return ConvertListedMasters(files, folder, rule, events);
  } catch (const std::exception&) {
    return 0;
  }
}

int ConvertMasterFolders(FileSystem& files, const std::string& settingsPath, MasterLineRule rule,
                         RunEvents& events) {
  std::optional<std::string> prefix;
  try {
    prefix = MasterFolderPrefix(files, settingsPath);
  } catch (const std::exception&) {
    return 0;
  }
  if (!prefix) return 0;
  for (const std::string& folder : MasterFolders(*prefix)) {
    if (ConvertMasterFolder(files, folder, rule, events) != 1) return 0;
  }
  return 1;
}

}  // namespace tovrin
