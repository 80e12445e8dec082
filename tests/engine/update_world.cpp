#include "tests/engine/update_world.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/cp932.hpp"
#include "platform/program_directory.hpp"
#include "tests/support/lzh_writer.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

namespace {

DriveTable WorldDrives(const fs::path& root, DriveType mediumType) {
  fs::create_directories(root / "c" / "windows");
  fs::create_directories(root / "medium");
  DriveTable drives;
  drives.Map('A', root / "medium", mediumType);
  drives.Map('C', root / "c", DRIVE_FIXED);
  return drives;
}

}  // namespace

std::string Sjis(std::string_view utf8) { return cp932::Text(utf8); }

bool FaultyFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  if (failGetStatus) return false;
  return TestFileSystem::GetStatus(path, status);
}

bool FaultyFileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  if (failSetStatus) return false;
  return TestFileSystem::SetStatus(path, status);
}

std::unique_ptr<InputFile> FaultyFileSystem::OpenRead(std::string_view path, OpenAccess access) {
  if (failOpenRead && failOpenRead(path)) return nullptr;
  return TestFileSystem::OpenRead(path, access);
}

bool FaultyFileSystem::ReplaceUnflushed(std::string_view from, std::string_view to) {
  if (!flushed.contains(from)) ++renamedUnflushedData;
  return to != failReplaceOf && TestFileSystem::ReplaceUnflushed(from, to);
}

bool FaultyFileSystem::Flush(std::string_view path) {
  if (failFlush) return false;
  flushed.emplace(path);
  return TestFileSystem::Flush(path);
}

std::optional<std::vector<FindEntry>> FaultyFileSystem::SearchFiles(
    std::string_view pattern) const {
  if (failSearch && failSearch(pattern)) return std::nullopt;
  return TestFileSystem::SearchFiles(pattern);
}

bool FaultyFileSystem::Replace(std::string_view from, std::string_view to) {
  return to != failReplaceOf && TestFileSystem::Replace(from, to);
}

UpdateWorld::UpdateWorld(DriveType mediumType)
    : files_(WorldDrives(temp_.path(), mediumType), temp_.path() / "c" / "windows"),
      platform_{observed_, registry_, ui, "A:"},
      library_(observed_),
      archives_(library_),
      owner_(reinterpret_cast<WindowHandle>(0x5151)) {}

void UpdateWorld::WriteMedium(const fs::path& relative, std::string_view bytes) const {
  temp_.Write(fs::path("medium") / relative, bytes);
}

void UpdateWorld::WriteProduct(const fs::path& relative, std::string_view bytes) const {
  temp_.Write(fs::path("c") / "PROG" / relative, bytes);
}

std::string UpdateWorld::ReadProduct(const fs::path& relative) const {
  return temp_.Read(fs::path("c") / "PROG" / relative);
}

bool UpdateWorld::ProductHas(const fs::path& relative) const {
  return fs::exists(Product() / relative);
}

void UpdateWorld::WriteArchive(const fs::path& relative, const ArchiveMembers& members) const {
  std::vector<LzhEntry> entries;
  for (const auto& [name, content] : members) entries.emplace_back(name, content);
  WriteStoredLzh(Medium() / relative, entries);
}

void UpdateWorld::MakeVelsorProduct(std::string_view title) const {
  WriteProduct("velsor1.ini", "[SYSTEM]\r\nVERSION=8\r\nTITLE=" + Sjis(title) +
                                  "\r\n[DIR]\r\nMASTER=C:\\PROG\\MST\\\r\n");
  WriteProduct("ve2menu.ini", "[MENU]\r\n");
  WriteProduct("formater.exe", "MZ");
  WriteProduct("bmp/LAYER2L.BMP", "BM");
}

void UpdateWorld::MakeTremickProduct(std::string_view maker) const {
  WriteProduct("tremick1.ini", "[SYSTEM]\r\nMAKER=" + std::string(maker) + "\r\n");
  WriteProduct("bmp/LAYER2L.BMP", "BM");
}

void UpdateWorld::DescribeUpdate() {
  description.m_strDestination = "C:\\PROG";
  description.m_strProductKind = "0";
  description.m_strMasterAdjust = "0";
  description.m_strIniName = "velsor1.ini";
  description.m_strTradeKind = "0";
  description.m_strVersion = "9.0A";
  for (std::size_t key = 0; key < description.m_strTitleKey.size(); ++key) {
    const std::string number = std::to_string(key + 1);
    description.m_strTitleKey[key] = (number.size() == 1 ? "KEY0" : "KEY") + number;
  }
  description.m_strTitleKey[0] = Sjis("電気");
  description.m_nFileCount = 0;
}

void UpdateWorld::AddRecord(int disk, int kind, std::string_view source,
                            std::string_view subFolder) {
  const auto index = static_cast<std::size_t>(description.m_nFileCount++);
  description.m_nDiskNo[index] = disk;
  description.m_nFileKind[index] = kind;
  description.m_strSrcName[index] = std::string(source);
  description.m_strSubDir[index] = std::string(subFolder);
}

std::vector<std::pair<std::string, std::string>> UpdateWorld::ProductSnapshot() const {
  std::vector<std::pair<std::string, std::string>> files;
  const fs::recursive_directory_iterator end;
  for (auto entry = fs::recursive_directory_iterator(Product()); entry != end; ++entry) {
    // The run's bookkeeping is no product file.
    if (entry->path().filename() == kBookkeepingFolderName) {
      entry.disable_recursion_pending();
      continue;
    }
    const std::string relative = entry->path().lexically_relative(Product()).string();
    files.emplace_back(relative, entry->is_regular_file() ? ReadProduct(relative) : "<dir>");
  }
  std::sort(files.begin(), files.end());
  return files;
}

int UpdateWorld::Run(RunEvents& events) {
  // A run of its own each time, as the wizard makes them.
  run_ = std::make_unique<UpdateRun>(description, platform_, archives_, owner_, events);
  run_->ObserveChangesThrough(observed_);
  if (journalFiles) run_->KeepJournalWith(*journalFiles);
  run_->TrustKeys(trustedKeys);
  return run_->RunUpdate();
}

}  // namespace tovrin::testing
