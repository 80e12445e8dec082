#include "description/update_description.hpp"

#include <array>
#include <memory>
#include <optional>
#include <utility>

#include "description/info_record.hpp"
#include "platform/hashing_input.hpp"
#include "platform/path_text.hpp"
#include "platform/text_reader.hpp"

namespace tovrin {
namespace {

// The lines of info.txt, numbered from 1; past the end a read gives an
// empty line, as CStdioFile::ReadString leaves it.
class InfoLines {
 public:
  explicit InfoLines(InputFile& file) : reader_(std::make_unique<TextReader>(file)) {}

  // The next line, empty past the end of the file.
  std::string NextFixed() {
    std::string line;
    Next(line);
    return line;
  }

  // False once the file has ended. A line during whose read an error
  // struck is the failed line, even when part of it came through.
  bool Next(std::string& line) {
    line.clear();
    ++number_;
    const bool read = !ended_ && reader_->ReadLine(line);
    if (reader_->Failed() && failedLine_ == 0) failedLine_ = number_;
    ended_ = !read;
    return read;
  }

  int Number() const { return number_; }
  // The line whose read failed, 0 when the file ended normally.
  int FailedLine() const { return failedLine_; }

 private:
  std::unique_ptr<TextReader> reader_;  // holds a large buffer: kept off the stack
  int number_ = 0;
  int failedLine_ = 0;
  bool ended_ = false;
};

void ReadFixedLines(InfoLines& lines, UpdateDescription& description) {
  for (auto& key : description.m_strUninstallKey) key = lines.NextFixed();
  const std::array<std::string*, 12> lines16To27 = {
      &description.m_strDestination,  &description.m_strProductKind,
      &description.m_strMasterAdjust, &description.m_strIniName,
      &description.m_strTradeKind,    &description.m_strVersion,
      &description.m_strViewPicture,  &description.m_strNoticePicture,
      &description.m_strDestPicture,  &description.m_strConfirmPicture,
      &description.m_strNoticeNotes,  &description.m_strDestNotes,
  };
  for (std::string* member : lines16To27) *member = lines.NextFixed();
  for (auto& keyword : description.m_strTitleKey) keyword = lines.NextFixed();
}

void MarkInvalid(UpdateDescription& description, int lineNumber) {
  if (description.m_nInvalidLine == 0) description.m_nInvalidLine = lineNumber;
}

// The settings file is written into, so it must lie in the product folder.
constexpr int kIniNameLine = 19;

void CheckIniName(UpdateDescription& description) {
  if (path_text::ClimbsAboveStart(description.m_strIniName)) MarkInvalid(description, kIniNameLine);
}

void StoreRecord(UpdateDescription& description, InfoRecord& record) {
  const int index = description.m_nFileCount++;
  description.m_nDiskNo[index] = record.diskNo;
  description.m_nFileKind[index] = record.fileKind;
  description.m_strSrcName[index] = std::move(record.srcName);
  description.m_strSubDir[index] = std::move(record.subDir);
}

// Every line after the fixed ones is a record, except a blank one. A line
// that is no record, or one more than the table holds, makes the whole
// description invalid: a partial update must never be applied as if whole.
void ReadRecords(InfoLines& lines, UpdateDescription& description) {
  std::string line;
  while (lines.Next(line)) {
    if (IsBlankLine(line)) continue;
    std::optional<InfoRecord> record = ParseInfoRecord(line);
    if (!record || description.m_nFileCount == kMaxRecords) {
      MarkInvalid(description, lines.Number());
      continue;
    }
    StoreRecord(description, *record);
  }
}

}  // namespace

int ReadInfoFile(FileSystem& files, const std::string& infoPath, UpdateDescription& description) {
  description.m_nFileCount = 0;
  description.m_nInvalidLine = 0;
  description.infoSha256.reset();
  const std::unique_ptr<InputFile> file = files.OpenRead(infoPath);
  description.m_bInfoNotRead = file == nullptr;
  if (!file) return 0;
  HashingInput hashing(*file);
  InfoLines lines(hashing);
  ReadFixedLines(lines, description);
  CheckIniName(description);
  ReadRecords(lines, description);
  ConvertTabsToLineBreaks(description.m_strNoticeNotes);
  ConvertTabsToLineBreaks(description.m_strDestNotes);
  // A read error leaves a description that may lack lines: refused like a
  // bad line rather than applied in part.
  if (lines.FailedLine() != 0) {
    MarkInvalid(description, lines.FailedLine());
    return 0;
  }
  description.infoSha256 = hashing.Finish();
  return 1;
}

std::string ReadInfoTitle(FileSystem& files, const std::string& infoPath) {
  const std::unique_ptr<InputFile> file = files.OpenRead(infoPath);
  if (!file) return {};
  return InfoLines(*file).NextFixed();
}

}  // namespace tovrin
