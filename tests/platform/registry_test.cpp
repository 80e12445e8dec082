#include "platform/registry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include <string>

#include "platform/cp932.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin {
namespace {

using testing::TempFolder;

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Opens the key, reads "UninstallString" into a 256-byte buffer as the
// install-folder lookup does, and closes the key again.
std::optional<std::string> UninstallString(Registry& registry, const std::string& subKey) {
  HKEY key = 0;
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall + subKey, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  unsigned char buffer[256] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer;
  const LONG result =
      registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, buffer, &size);
  EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
  if (result != ERROR_SUCCESS) return std::string("<error>");
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(buffer[size - 1], '\0');
  return std::string(reinterpret_cast<const char*>(buffer), size - 1);
}

bool KeyOpens(Registry& registry, const std::string& path) {
  HKEY key = 0;
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return false;
  }
  registry.RegCloseKey(key);
  return true;
}

std::string Utf16LeWithMark(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// テスト as Wine writes it: \x and the UTF-16 code units.
constexpr const char* kTestKeyEscaped = "\\x30c6\\x30b9\\x30c8";

class WinePrefixRegistry : public ::testing::Test {
 protected:
  Registry Load(const std::string& systemReg) {
    folder_.Write("prefix/system.reg", systemReg);
    return Registry::FromWinePrefix(folder_.path() / "prefix");
  }
  TempFolder folder_;
};

TEST_F(WinePrefixRegistry, ThirtyTwoBitViewComesFirstThenThePlainOne) {
  Registry registry = Load(
      std::string("WINE REGISTRY Version 2\n"
                  ";; All keys relative to \\\\Machine\n"
                  "#arch=win64\n\n") +
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\" + kTestKeyEscaped +
      "] 1614251234\n" +
      "#time=1d70b7e1e0a5d9c\n"
      "\"UninstallString\"=\"C:\\\\PLAIN\\\\REMOVE.EXE -fC:\\\\PLAIN\\\\R.LOG\"\n\n"
      "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\" +
      kTestKeyEscaped + "] 1614251234\n" +
      "\"UninstallString\"=\"C:\\\\APPS\\\\REMOVE.EXE -fC:\\\\APPS\\\\R.LOG\"\n\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Only64] 1614251234\n"
      "\"UninstallString\"=\"C:\\\\ONLY64\\\\R.EXE\"\n");

  EXPECT_EQ(UninstallString(registry, cp932::Text("テスト")),
            "C:\\APPS\\REMOVE.EXE -fC:\\APPS\\R.LOG");
  EXPECT_EQ(UninstallString(registry, "Only64"), "C:\\ONLY64\\R.EXE");
  EXPECT_EQ(UninstallString(registry, "Missing"), std::nullopt);
}

TEST_F(WinePrefixRegistry, PrefixWithoutThirtyTwoBitViewUsesThePlainKeys) {
  Registry registry = Load(
      "WINE REGISTRY Version 2\n"
      "#arch=win32\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Edit] 1614251234\n"
      "\"UninstallString\"=\"C:\\\\WINDOWS\\\\REMOVE.EXE -fC:\\\\APPS\\\\EDIT\\\\REMOVE.LOG\"\n");

  EXPECT_EQ(UninstallString(registry, "Edit"),
            "C:\\WINDOWS\\REMOVE.EXE -fC:\\APPS\\EDIT\\REMOVE.LOG");
  // Names match without regard to case; parents exist although not listed.
  EXPECT_TRUE(KeyOpens(registry, "software\\MICROSOFT\\windows\\currentversion\\uninstall\\EDIT"));
  EXPECT_TRUE(KeyOpens(registry, "SOFTWARE\\Microsoft"));
  EXPECT_FALSE(
      KeyOpens(registry, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Edit\\More"));
}

TEST_F(WinePrefixRegistry, EscapesInValuesBecomeCp932Bytes) {
  Registry registry = Load(
      "WINE REGISTRY Version 2\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Esc] 1614251234\n"
      "\"Number\"=dword:00000001\n"
      "\"Binary\"=hex:01,02,\\\n"
      "  03,04\n"
      "\"Expand\"=str(2):\"%SystemRoot%\"\n"
      "\"UninstallString\"=\"C:\\\\\\x30c6\\x30b9\\x30c8\\\\\\\"Q\\\" "
      "-fC:\\\\\\x4ee4\\x548c\\\\A.LOG\"\n");

  EXPECT_EQ(UninstallString(registry, "Esc"), cp932::Text("C:\\テスト\\\"Q\" -fC:\\令和\\A.LOG"));
}

TEST_F(WinePrefixRegistry, UnparsableSourceGivesAnEmptyViewAndOneLineOnStandardError) {
  ::testing::internal::CaptureStderr();
  Registry registry = Load(
      "WINE REGISTRY Version 2\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Good] 1614251234\n"
      "\"UninstallString\"=\"C:\\\\GOOD\\\\R.EXE\"\n"
      "\n"
      "\"Broken\"=\"no closing quote\n");
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(KeyOpens(registry, kUninstall + "Good"));
  EXPECT_NE(errors.find("system.reg:5:"), std::string::npos) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

TEST_F(WinePrefixRegistry, WrongHeaderOrMissingFileGivesAnEmptyView) {
  ::testing::internal::CaptureStderr();
  Registry wrongHeader = Load(
      "REGEDIT4\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Good] 1614251234\n");
  Registry missing = Registry::FromWinePrefix(folder_.path() / "no-such-prefix");
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(KeyOpens(wrongHeader, kUninstall + "Good"));
  EXPECT_FALSE(KeyOpens(missing, "SOFTWARE"));
  EXPECT_NE(errors.find("system.reg:1:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("no-such-prefix"), std::string::npos) << errors;
}

class RegFileRegistry : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const std::string& bytes) {
    return folder_.Write(name, bytes);
  }
  TempFolder folder_;
};

TEST_F(RegFileRegistry, Regedit4InCp932KeepsSecondBytesThatLookLikeBackslashes) {
  // ソ is 0x83 0x5C in CP932: its second byte is no separator and no escape.
  const std::string software = cp932::Text("ソフト");
  const auto file =
      Write("edit.reg",
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\User]\r\n"
            "\"UninstallString\"=\"C:\\\\USER\\\\R.EXE\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                software + "]\r\n" + "\"DisplayName\"=\"" + software + "\"\r\n" +
                "\"Size\"=dword:00001000\r\n"
                "\"Data\"=hex:00,01,02,\\\r\n"
                "  03,04\r\n"
                "@=\"default\"\r\n"
                "\"UninstallString\"=\"C:\\\\" +
                software + "\\\\REMOVE.EXE -fC:\\\\" + software + "\\\\REMOVE.LOG\"\r\n");
  Registry registry = Registry::FromRegFiles({file});

  EXPECT_EQ(UninstallString(registry, software),
            "C:\\" + software + "\\REMOVE.EXE -fC:\\" + software + "\\REMOVE.LOG");
  EXPECT_EQ(UninstallString(registry, "User"), std::nullopt);  // another root
}

TEST_F(RegFileRegistry, Version5InUtf16) {
  const auto file = Write(
      "edit.reg",
      Utf16LeWithMark(
          u"Windows Registry Editor Version 5.00\r\n\r\n"
          u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\積算]\r\n"
          u"\"Path\"=hex(2):43,00,3a,00,00,00\r\n"
          u"\"UninstallString\"=\"C:\\\\積算\\\\REMOVE.EXE -fC:\\\\積算\\\\REMOVE.LOG\"\r\n"));
  Registry registry = Registry::FromRegFiles({file});

  EXPECT_EQ(UninstallString(registry, cp932::Text("積算")),
            cp932::Text("C:\\積算\\REMOVE.EXE -fC:\\積算\\REMOVE.LOG"));
}

TEST_F(RegFileRegistry, LaterFilesAddToAndDeleteFromEarlierOnes) {
  const auto first =
      Write("first.reg",
            "REGEDIT4\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone]\n"
            "\"UninstallString\"=\"C:\\\\GONE\\\\R.EXE\"\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kept]\n"
            "\"UninstallString\"=\"C:\\\\KEPT\\\\R.EXE\"\n");
  const auto second =
      Write("second.reg",
            "REGEDIT4\n"
            "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone]\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kept]\n"
            "\"UninstallString\"=-\n"
            "\"DisplayName\"=\"Kept\"\n");
  Registry registry = Registry::FromRegFiles({first, second});

  EXPECT_FALSE(KeyOpens(registry, kUninstall + "Gone"));
  EXPECT_EQ(UninstallString(registry, "Kept"), "<error>");  // the key stays, its value went
}

TEST_F(RegFileRegistry, OneUnparsableFileEmptiesTheWholeView) {
  const auto good =
      Write("good.reg",
            "REGEDIT4\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Good]\n"
            "\"UninstallString\"=\"C:\\\\GOOD\\\\R.EXE\"\n");
  const auto bad = Write("bad.reg",
                         "REGEDIT4\n"
                         "\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Broken\n");
  ::testing::internal::CaptureStderr();
  Registry registry = Registry::FromRegFiles({good, bad});
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(KeyOpens(registry, kUninstall + "Good"));
  EXPECT_NE(errors.find("bad.reg:3:"), std::string::npos) << errors;
}

TEST_F(RegFileRegistry, AFileThatCannotBeReadGivesAnEmptyViewAndOneLine) {
  const auto good = Write(
      "good.reg",
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Good]\n");
  // A folder opens as a file on Linux and fails only when read.
  ::testing::internal::CaptureStderr();
  Registry registry = Registry::FromRegFiles({good, good.parent_path()});
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(KeyOpens(registry, kUninstall + "Good"));
  EXPECT_NE(errors.find("cannot be read"), std::string::npos) << errors;
}

TEST_F(RegFileRegistry, Utf16FileWithoutItsHeaderOrWithABrokenUnitIsRefused) {
  const auto noHeader = Write("no-header.reg", Utf16LeWithMark(u"REGEDIT4\r\n"));
  std::u16string broken =
      u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"A\"=\"";
  broken += char16_t{0xD800};  // a lone surrogate
  broken += u"\"\r\n";
  const auto badUnit = Write("bad-unit.reg", Utf16LeWithMark(broken));
  ::testing::internal::CaptureStderr();
  Registry first = Registry::FromRegFiles({noHeader});
  Registry second = Registry::FromRegFiles({badUnit});
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(KeyOpens(second, "SOFTWARE\\X"));
  EXPECT_NE(errors.find("no-header.reg:1:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("bad-unit.reg:3:"), std::string::npos) << errors;
}

class RegistryQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto file = folder_.Write("edit.reg",
                                    "REGEDIT4\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Edit]\n"
                                    "\"UninstallString\"=\"C:\\\\EDIT\"\n");
    registry_ = Registry::FromRegFiles({file});
    ASSERT_EQ(
        registry_.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Edit", 0, KEY_ALL_ACCESS, &key_),
        ERROR_SUCCESS);
  }
  TempFolder folder_;
  Registry registry_;
  HKEY key_ = 0;
};

TEST_F(RegistryQuery, SizeRulesOfTheBuffer) {
  unsigned char buffer[16];
  DWORD type = 0;
  DWORD size = 7;  // "C:\EDIT" needs 8 bytes with its NUL
  EXPECT_EQ(registry_.RegQueryValueExA(key_, "UninstallString", nullptr, &type, buffer, &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);

  EXPECT_EQ(registry_.RegQueryValueExA(key_, "uninstallstring", nullptr, &type, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);

  std::memset(buffer, 'x', sizeof buffer);
  size = 8;
  EXPECT_EQ(registry_.RegQueryValueExA(key_, "UninstallString", nullptr, &type, buffer, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), std::string("C:\\EDIT\0", 8));
  EXPECT_EQ(buffer[8], 'x');
}

TEST_F(RegistryQuery, MissingValueAndClosedKey) {
  unsigned char buffer[16];
  DWORD size = sizeof buffer;
  EXPECT_EQ(registry_.RegQueryValueExA(key_, "DisplayName", nullptr, nullptr, buffer, &size),
            ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(registry_.RegCloseKey(key_), ERROR_SUCCESS);
  EXPECT_EQ(registry_.RegQueryValueExA(key_, "UninstallString", nullptr, nullptr, buffer, &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry_.RegCloseKey(key_), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace tovrin
