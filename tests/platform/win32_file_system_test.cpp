// The Win32 side on its own: real files through the wide-character API, the
// program's CP932 text converted at the edge, and the registry's 32-bit view.
#include <gtest/gtest.h>

#include "platform/cp932.hpp"
#include "platform/win32/system_registry.hpp"
#include "platform/win32/file_system.hpp"
#include "tests/support/temp_folder.hpp"
// Last: its macros would rename the program's own declarations.
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

class Win32Files : public ::testing::Test {
 protected:
  // A CP932 path below the temporary folder.
  std::string At(std::string_view utf8) const { return root_ + "\\" + cp932::Text(utf8); }
  fs::path Host(const std::wstring& name) const { return temp_.path() / name; }
  bool Write(std::string_view utf8, std::string_view bytes) {
    auto file = files_.Create(At(utf8));
    return file && file->Write(bytes) && file->Close();
  }
  void SetAttributes(std::string_view utf8, std::uint8_t attribute) {
    FileStatus status;
    ASSERT_TRUE(files_.GetStatus(At(utf8), status));
    status.modificationTime = 0;
    status.attribute = attribute;
    ASSERT_TRUE(files_.SetStatus(At(utf8), status));
  }
  std::uint8_t AttributesOf(std::string_view utf8) {
    FileStatus status;
    EXPECT_TRUE(files_.GetStatus(At(utf8), status));
    return status.attribute & ~ATTR_ARCHIVE;  // Wine shows the archive bit on every file
  }
  std::string Read(std::string_view utf8) {
    auto file = files_.OpenRead(At(utf8));
    if (!file) return "<missing>";
    std::string bytes(256, '\0');
    const auto count = file->Read(bytes.data(), bytes.size());
    return count ? bytes.substr(0, *count) : "<unreadable>";
  }
  std::vector<std::string> Names(std::string_view pattern) const {
    std::vector<std::string> names;
    for (const auto& entry : files_.FindFiles(root_ + "\\" + std::string(pattern))) {
      names.push_back(cp932::ToUtf8(entry.name).value_or("<not CP932>"));
    }
    return names;
  }

  testing::TempFolder temp_;
  Win32FileSystem files_;
  std::string root_ = files_.ToWindowsPath(temp_.path()).value_or("");
};

TEST(Win32Text, NothingIsReplacedOnTheWay) {
  EXPECT_EQ(cp932::FromUtf8("表ｱ"), std::optional<std::string>("\x95\x5C\xB1"));
  EXPECT_EQ(cp932::ToUtf8("\x95\x5C\xB1"), std::optional<std::string>("表ｱ"));
  EXPECT_EQ(cp932::FromUtf8("é"), std::nullopt) << "no best-fit 'e'";
  EXPECT_EQ(cp932::FromUtf8("\xE2\x82"), std::nullopt) << "broken UTF-8";
  EXPECT_EQ(cp932::ToUtf8("\x95"), std::nullopt) << "a lead byte alone";
}

TEST_F(Win32Files, JapaneseNamesAreWideNamesOnDisk) {
  ASSERT_FALSE(root_.empty());
  ASSERT_TRUE(Write("表示.txt", "text"));
  EXPECT_TRUE(fs::exists(Host(L"\u8868\u793A.txt")));
  EXPECT_EQ(files_.Exists(At("表示.TXT")), Presence::Present) << "letter case does not matter";
  ASSERT_EQ(files_.Mkdir(At("ソフト")), 0);
  ASSERT_TRUE(Write("ソフト\\b.txt", "b"));
  EXPECT_EQ(Names("*"), (std::vector<std::string>{".", "..", "ソフト", "表示.txt"}));
  EXPECT_EQ(Names("*.TXT"), (std::vector<std::string>{"表示.txt"}));
  FileStatus status;
  ASSERT_TRUE(files_.GetStatus(At("ソフト"), status));
  EXPECT_NE(status.attribute & ATTR_DIRECTORY, 0);
  EXPECT_EQ(status.fullName, At("ソフト"));
}

TEST_F(Win32Files, ReplacementsKeepAttributesAndRefuseReadOnly) {
  ASSERT_TRUE(Write("hidden.ini", "old"));
  SetAttributes("hidden.ini", ATTR_HIDDEN);
  auto replacement = files_.BeginReplace(At("hidden.ini"));
  ASSERT_NE(replacement, nullptr);
  ASSERT_TRUE(replacement->Write("new"));
  ASSERT_TRUE(replacement->Commit());
  EXPECT_EQ(Read("hidden.ini"), "new");
  EXPECT_EQ(AttributesOf("hidden.ini"), ATTR_HIDDEN);

  ASSERT_TRUE(Write("locked.ini", "old"));
  SetAttributes("locked.ini", ATTR_READONLY);
  EXPECT_EQ(files_.BeginReplace(At("locked.ini")), nullptr);
  EXPECT_FALSE(files_.CopyFile(At("hidden.ini"), At("locked.ini"), false));
  EXPECT_EQ(files_.OpenRead(At("locked.ini"), OpenAccess::ReadWrite), nullptr);
  EXPECT_FALSE(files_.Remove(At("locked.ini")));
  EXPECT_EQ(Read("locked.ini"), "old");

  {
    auto abandoned = files_.BeginReplace(At("new.ini"));
    ASSERT_NE(abandoned, nullptr);
    ASSERT_TRUE(abandoned->Write("half"));
  }
  EXPECT_EQ(Names("*.tmp"), std::vector<std::string>{})
      << "an abandoned replacement leaves nothing";
  EXPECT_EQ(files_.Exists(At("new.ini")), Presence::Absent);
}

TEST_F(Win32Files, CopiesAppearWholeWithTheSourcesTimeAndRefuseHiddenTargets) {
  ASSERT_TRUE(Write("from.dat", "content"));
  FileStatus times;
  ASSERT_TRUE(files_.GetStatus(At("from.dat"), times));
  times.modificationTime = 1'000'000'000;
  times.accessTime = 0;
  ASSERT_TRUE(files_.SetStatus(At("from.dat"), times));

  ASSERT_TRUE(files_.CopyFile(At("from.dat"), At("to.dat"), true));
  EXPECT_EQ(Read("to.dat"), "content");
  FileStatus copied;
  ASSERT_TRUE(files_.GetStatus(At("to.dat"), copied));
  EXPECT_EQ(copied.modificationTime, 1'000'000'000);
  EXPECT_EQ(copied.size, 7u);
  EXPECT_FALSE(files_.CopyFile(At("from.dat"), At("to.dat"), true)) << "fail if it exists";

  SetAttributes("to.dat", ATTR_HIDDEN);
  EXPECT_FALSE(files_.CopyFile(At("from.dat"), At("to.dat"), false));
  EXPECT_EQ(Names("*.tmp"), std::vector<std::string>{});
}

// HKEY_LOCAL_MACHINE as <windows.h> and as the program's registry view name it.
const ::HKEY kMachine = reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(0x80000002u));
constexpr HKEY kProgramsMachine = 0x80000002u;

// The product is a 32-bit program: its key in the 32-bit view wins over the
// same key in the 64-bit one.
TEST(Win32Registry, UninstallKeysComeFromThe32BitView) {
  const wchar_t* key =
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\\u8868tovrin-test";
  const auto write = [&](REGSAM view, const wchar_t* folder) {
    ::HKEY handle = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(kMachine, key, 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr),
        0);
    const std::wstring value = std::wstring(L"C:\\WINDOWS\\UNINST.EXE -f") + folder;
    RegSetValueExW(handle, L"UninstallString", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<::DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  };
  write(KEY_WOW64_32KEY, L"C:\\\u30BD\\UNINST.LOG");
  write(KEY_WOW64_64KEY, L"C:\\SIXTYFOUR\\UNINST.LOG");

  Registry registry = ReadSystemUninstallKeys();
  HKEY opened = 0;
  const std::string name =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + cp932::Text("表tovrin-test");
  ASSERT_EQ(registry.RegOpenKeyExA(kProgramsMachine, name, 0, 0, &opened), 0);
  unsigned char text[128] = {};
  DWORD size = sizeof text;
  ASSERT_EQ(registry.RegQueryValueExA(opened, "UninstallString", nullptr, nullptr, text, &size), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text)),
            cp932::Text("C:\\WINDOWS\\UNINST.EXE -fC:\\ソ\\UNINST.LOG"));

  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    RegDeleteKeyExW(kMachine, key, view, 0);
  }
}

}  // namespace
}  // namespace tovrin
