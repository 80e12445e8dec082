#include "archive/lzh_reader.hpp"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>

#include <array>
#include <optional>

#include "archive/member_attribute.hpp"
#include "platform/cp932.hpp"
#include "platform/regular_file.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// libarchive's LHA reader converts Shift-JIS names only when told the header
// charset and when the locale's charset is UTF-8; the locale is set on this
// thread alone, for the life of the reader, so nothing global changes.
class LzhReader::ThreadLocale {
 public:
  ThreadLocale() {
    for (const char* name : {"C.UTF-8", "en_US.UTF-8"}) {
      utf8_ = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
      if (utf8_ != nullptr) break;
    }
    if (utf8_ != nullptr) previous_ = uselocale(utf8_);
  }
  ~ThreadLocale() {
    if (utf8_ == nullptr) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  ThreadLocale(const ThreadLocale&) = delete;
  ThreadLocale& operator=(const ThreadLocale&) = delete;

 private:
  locale_t utf8_ = nullptr;
  locale_t previous_ = LC_GLOBAL_LOCALE;
};

namespace {

constexpr std::size_t kReadBlock = 128 * 1024;
constexpr std::size_t kUsualHeader = 4 * 1024;
constexpr std::size_t kLongestHeader = 64 * 1024;

MemberKind KindOf(archive_entry* entry) {
  if (archive_entry_hardlink(entry) != nullptr) return MemberKind::Link;
  switch (archive_entry_filetype(entry)) {
    case AE_IFREG: return MemberKind::File;
    case AE_IFDIR: return MemberKind::Folder;
    case AE_IFLNK: return MemberKind::Link;
    default: return MemberKind::Device;
  }
}

// "lha -lh5-" gives "-lh5-".
std::string MethodOf(::archive* reader) {
  const char* format = archive_format_name(reader);
  const std::string_view name = format != nullptr ? format : "";
  const std::size_t blank = name.find(' ');
  return std::string(blank == std::string_view::npos ? name : name.substr(blank + 1));
}

std::optional<std::string> ReadableName(archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  if (utf8 == nullptr) return std::nullopt;
  return cp932::FromUtf8(utf8);
}

std::string RawName(archive_entry* entry) {
  const char* raw = archive_entry_pathname(entry);
  return raw != nullptr ? raw : "";
}

}  // namespace

bool IsSupportedMethod(std::string_view method) {
  return method == "-lh0-" || method == "-lh5-" || method == "-lh6-" || method == "-lh7-" ||
         method == "-lhd-";
}

std::unique_ptr<LzhReader> LzhReader::Open(const std::filesystem::path& archive) {
  const int descriptor = OpenRegularFile(archive, O_RDONLY);
  if (descriptor < 0) return nullptr;
  // The locale must be in place before libarchive looks up its converters.
  auto locale = std::make_unique<ThreadLocale>();
  ::archive* reader = archive_read_new();
  const bool opened = reader != nullptr && archive_read_support_format_lha(reader) == ARCHIVE_OK &&
                      archive_read_set_format_option(reader, "lha", "hdrcharset", "CP932") ==
                          ARCHIVE_OK &&
                      archive_read_open_fd(reader, descriptor, kReadBlock) == ARCHIVE_OK;
  if (!opened) {
    if (reader != nullptr) archive_read_free(reader);
    ::close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<LzhReader>(new LzhReader(descriptor, std::move(locale), reader));
}

LzhReader::LzhReader(int descriptor, std::unique_ptr<ThreadLocale> locale, ::archive* reader)
    : descriptor_(descriptor), locale_(std::move(locale)), archive_(reader) {}

LzhReader::~LzhReader() {
  archive_read_free(archive_);
  ::close(descriptor_);
}

HeaderResult LzhReader::NextMember(LzhMember& member) {
  archive_entry* entry = nullptr;
  const int status = archive_read_next_header(archive_, &entry);
  if (status == ARCHIVE_EOF) return HeaderResult::End;
  if (status != ARCHIVE_OK && status != ARCHIVE_WARN) return HeaderResult::Broken;
  const auto name = ReadableName(entry);
  member.nameReadable = status == ARCHIVE_OK && name.has_value();
  member.name = member.nameReadable ? *name : RawName(entry);
  member.kind = KindOf(entry);
  member.method = MethodOf(archive_);
  member.size = archive_entry_size_is_set(entry) ? static_cast<std::uint64_t>(archive_entry_size(entry)) : 0;
  member.modificationTime = archive_entry_mtime(entry);
  member.attribute = HeaderAttribute(static_cast<int>(archive_entry_mode(entry)));
  return HeaderResult::Member;
}

// The attribute byte of the header just read, with libarchive's read-only
// bit added (it also comes from a Unix mode).
std::uint8_t LzhReader::HeaderAttribute(int mode) const {
  const std::uint8_t readOnly = (mode & 0222) == 0 ? ATTR_READONLY : 0;
  for (const std::size_t length : {kUsualHeader, kLongestHeader}) {
    std::string header(length, '\0');
    const ssize_t got = ::pread(descriptor_, header.data(), header.size(),
                                static_cast<off_t>(archive_read_header_position(archive_)));
    if (got <= 0) break;
    header.resize(static_cast<std::size_t>(got));
    if (const auto attribute = DosAttributeOfHeader(header)) {
      return static_cast<std::uint8_t>(*attribute | readOnly);
    }
    if (header.size() < length) break;  // the whole rest of the file was read
  }
  return readOnly;
}

DataResult LzhReader::ReadData(const std::function<bool(std::string_view)>& sink) {
  std::int64_t expected = 0;
  for (;;) {
    const void* block = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    const int status = archive_read_data_block(archive_, &block, &size, &offset);
    if (status == ARCHIVE_EOF) return DataResult::Complete;
    // A CRC mismatch arrives as a warning after the last block.
    if (status != ARCHIVE_OK || offset != expected) return DataResult::Corrupt;
    if (size == 0) continue;
    if (!sink(std::string_view(static_cast<const char*>(block), size))) return DataResult::SinkFailed;
    expected += static_cast<std::int64_t>(size);
  }
}

}  // namespace tovrin
