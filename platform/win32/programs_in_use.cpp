#include "platform/programs_in_use.hpp"

#include <system_error>

#include "platform/product_lock.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/windows_api.hpp"

#include <restartmanager.h>

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// The files the Restart Manager is asked about: every file of the product
// but the run's own bookkeeping, since any of them may be one the update
// replaces and none may be held while it runs.
std::vector<std::wstring> ProductFiles(const fs::path& folder) {
  std::vector<std::wstring> files;
  std::error_code error;
  fs::recursive_directory_iterator entry(folder, error), end;
  for (; !error && entry != end; entry.increment(error)) {
    if (entry->path().filename() == fs::path(std::string(kBookkeepingFolderName))) {
      entry.disable_recursion_pending();
      continue;
    }
    if (entry->is_regular_file(error)) files.push_back(entry->path().wstring());
  }
  return files;
}

class RestartManagerSession {
 public:
  RestartManagerSession() {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    open_ = RmStartSession(&handle_, 0, key) == ERROR_SUCCESS;
  }
  ~RestartManagerSession() {
    if (open_) RmEndSession(handle_);
  }
  RestartManagerSession(const RestartManagerSession&) = delete;
  RestartManagerSession& operator=(const RestartManagerSession&) = delete;

  bool Register(const std::vector<std::wstring>& files) {
    std::vector<LPCWSTR> names;
    for (const auto& file : files) names.push_back(file.c_str());
    return open_ && RmRegisterResources(handle_, static_cast<UINT>(names.size()), names.data(), 0,
                                        nullptr, 0, nullptr) == ERROR_SUCCESS;
  }

  // The processes holding a registered file; asked again while the list grows.
  std::vector<RM_PROCESS_INFO> Holders() {
    std::vector<RM_PROCESS_INFO> processes(8);
    for (;;) {
      UINT needed = 0;
      UINT count = static_cast<UINT>(processes.size());
      DWORD reasons = 0;
      const DWORD result = RmGetList(handle_, &needed, &count, processes.data(), &reasons);
      if (result == ERROR_SUCCESS) {
        processes.resize(count);
        return processes;
      }
      if (result != ERROR_MORE_DATA) return {};
      processes.resize(needed);
    }
  }

 private:
  DWORD handle_ = 0;
  bool open_ = false;
};

}  // namespace

std::vector<ProgramInUse> ProgramsUsingFolder(const fs::path& productFolder) {
  std::vector<ProgramInUse> programs;
  const auto files = ProductFiles(productFolder);
  if (files.empty()) return programs;
  RestartManagerSession session;
  if (!session.Register(files)) return programs;
  const DWORD self = GetCurrentProcessId();
  for (const RM_PROCESS_INFO& process : session.Holders()) {
    if (process.Process.dwProcessId == self) continue;
    programs.push_back(
        {win32::Cp932FromWide(process.strAppName).value_or("?"), process.Process.dwProcessId});
  }
  return programs;
}

}  // namespace tovrin
