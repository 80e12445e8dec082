#pragma once
// The update description: what info.txt says about one update, held for the
// whole run of the program. Every text is CP932 bytes.

#include <array>
#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/sha256.hpp"

namespace tovrin {

inline constexpr int kMaxRecords = 100;

struct UpdateDescription {
  std::string m_strDestination;                       // line 16
  std::string m_strIniName;                           // line 19
  std::array<std::string, 15> m_strUninstallKey;      // lines 1-15
  std::string m_strProductKind;                       // line 17
  std::string m_strMasterAdjust;                      // line 18
  std::string m_strTradeKind;                         // line 20
  std::string m_strViewPicture;                       // line 22
  std::string m_strNoticePicture;                     // line 23
  std::string m_strDestPicture;                       // line 24
  std::string m_strConfirmPicture;                    // line 25
  std::string m_strNoticeNotes;                       // line 26
  std::string m_strDestNotes;                         // line 27
  std::array<std::string, kMaxRecords> m_strSrcName;  // record field 3, upper case
  std::array<std::string, kMaxRecords> m_strSubDir;   // record field 4
  std::string m_strVersion;                           // line 21
  std::array<int, kMaxRecords> m_nDiskNo{};           // record field 1
  std::array<int, kMaxRecords> m_nFileKind{};         // record field 2
  int m_nFileCount = 0;
  std::array<std::string, 15> m_strTitleKey;  // lines 28-42

  // Line number of the first line that makes the description unusable: a
  // record line with fewer than four non-empty fields, a 101st record, or a
  // line that could not be read. 0 when every line is good. Blank lines
  // after line 42 are not records and never count.
  int m_nInvalidLine = 0;

  // Set when info.txt could not be opened: there is no update to apply.
  bool m_bInfoNotRead = false;

  // Line 19 as info.txt gave it, kept by the update run: a run may replace
  // line 19 ("NULL" search mode), and every later run starts again from this.
  std::optional<std::string> m_strIniNameAsGiven;

  // SHA-256 of the bytes of info.txt this description was read from, the
  // whole file: a signed medium's check holds it against the manifest, not
  // the file as it stands later.
  std::optional<Sha256::Hash> infoSha256;
};

// Reads info.txt (its whole path, the medium folder followed by "info.txt") into
// the description. 1 when the file was read, 0 when it cannot be opened
// (only m_nFileCount and m_nInvalidLine are set, to 0, and m_bInfoNotRead)
// or a read failed
// midway (the failed line is recorded in m_nInvalidLine).
int ReadInfoFile(FileSystem& files, const std::string& infoPath, UpdateDescription& description);

// The first line of info.txt, for the window title; empty when the file
// cannot be opened.
std::string ReadInfoTitle(FileSystem& files, const std::string& infoPath);

// A TAB and the byte after it become CR LF, at most 100 times.
void ConvertTabsToLineBreaks(std::string& text);

}  // namespace tovrin
