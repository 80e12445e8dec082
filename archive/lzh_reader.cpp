#include "archive/lzh_reader.hpp"

#include <algorithm>
#include <climits>
#include <optional>

#include "archive/lzh_crc.hpp"
#include "archive/member_header.hpp"
#include "archive/member_path.hpp"
#include "platform/hashing_input.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// The archive file as liblhasa reads it, counting the bytes read so that
// the end of the archive can be told from a header that is broken. The
// decoders ask for a few bytes at a time, so the file is read in blocks.
struct LzhReader::Source {
  static constexpr std::size_t kBlock = 64 * 1024;
  // More than any header but a level 3 one can hold.
  static constexpr std::size_t kWatchLimit = 64 * 1024;

  std::unique_ptr<InputFile> file;
  // Set when the bytes are hashed as they come from the file.
  std::unique_ptr<HashingInput> hashing;
  std::vector<char> block = std::vector<char>(kBlock);
  std::size_t blockStart = 0;
  std::size_t blockEnd = 0;
  // Bytes handed out once and given back, to be handed out again first.
  std::string replay;
  std::uint64_t position = 0;
  bool atEnd = false;
  bool readError = false;
  // While liblhasa reads a header: the bytes from the offset where it
  // should begin, as they were handed out.
  bool watching = false;
  std::uint64_t watchedOffset = 0;
  std::string watched;

  // Fills `buffer` unless the file ends first; liblhasa reads once per call.
  std::size_t Read(char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size && !replay.empty()) {
      const std::size_t count = std::min(size - got, replay.size());
      std::copy_n(replay.data(), count, buffer + got);
      replay.erase(0, count);
      got += count;
    }
    while (got < size && (blockStart < blockEnd || Refill())) {
      const std::size_t count = std::min(size - got, blockEnd - blockStart);
      std::copy_n(block.data() + blockStart, count, buffer + got);
      blockStart += count;
      got += count;
    }
    Watch(buffer, got);
    position += got;
    return got;
  }

  void Watch(std::uint64_t offset) {
    watching = true;
    watchedOffset = offset;
    watched.clear();
  }

  // Gives back what was handed out from `offset` on: the next read starts there.
  bool RewindTo(std::uint64_t offset) {
    const bool wholeSinceWatched = watchedOffset + watched.size() == position;
    if (!wholeSinceWatched || offset < watchedOffset || offset > position) return false;
    replay.insert(0, watched, offset - watchedOffset);
    position = offset;
    return true;
  }

 private:
  void Watch(const char* buffer, std::size_t got) {
    if (!watching || position + got <= watchedOffset) return;
    const std::size_t from = watchedOffset > position ? watchedOffset - position : 0;
    const std::size_t room = kWatchLimit - std::min(kWatchLimit, watched.size());
    watched.append(buffer + from, std::min(got - from, room));
  }

  bool Refill() {
    if (atEnd) return false;
    InputFile& input = hashing ? static_cast<InputFile&>(*hashing) : *file;
    const auto count = input.Read(block.data(), block.size());
    if (!count) readError = true;
    if (!count || *count == 0) {
      atEnd = true;
      return false;
    }
    blockStart = 0;
    blockEnd = *count;
    return true;
  }
};

namespace {

constexpr std::size_t kDataBlock = 64 * 1024;
constexpr std::size_t kSkipBlock = 4 * 1024;
constexpr std::size_t kLevelOffset = 20;
constexpr unsigned kUnixTypeBits = 0170000;
constexpr unsigned kUnixLink = 0120000;
constexpr unsigned kUnixWriteBits = 0222;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;
constexpr std::uint64_t kFileTimeToUnixSeconds = 11644473600;

int ReadSource(void* handle, void* buffer, std::size_t size) {
  auto& source = *static_cast<LzhReader::Source*>(handle);
  const std::size_t got =
      source.Read(static_cast<char*>(buffer), std::min<std::size_t>(size, INT_MAX));
  return source.readError ? -1 : static_cast<int>(got);
}

// Without a skip of its own, liblhasa's fallback loops forever at the end.
int SkipSource(void* handle, std::size_t bytes) {
  auto& source = *static_cast<LzhReader::Source*>(handle);
  char scratch[kSkipBlock];
  while (bytes > 0) {
    const std::size_t got = source.Read(scratch, std::min(bytes, sizeof scratch));
    if (got == 0) return 0;
    bytes -= got;
  }
  return 1;
}

const LHAInputStreamType kSourceType{ReadSource, SkipSource, nullptr};

bool HasUnixMode(const LHAFileHeader& header) {
  return LHA_FILE_HAVE_EXTRA(&header, LHA_FILE_UNIX_PERMS);
}

MemberKind KindOf(const LHAFileHeader& header) {
  const unsigned type = HasUnixMode(header) ? header.unix_perms & kUnixTypeBits : 0;
  if (header.symlink_target != nullptr || type == kUnixLink) return MemberKind::Link;
  if (std::string_view(header.compress_method) == LHA_COMPRESS_TYPE_DIR) return MemberKind::Folder;
  // A FIFO, a character or block device or a socket.
  if (type == 0010000 || type == 0020000 || type == 0060000 || type == 0140000)
    return MemberKind::Device;
  return MemberKind::File;
}

std::time_t ModificationTime(const LHAFileHeader& header) {
  if (!LHA_FILE_HAVE_EXTRA(&header, LHA_FILE_WINDOWS_TIMESTAMPS)) return header.timestamp;
  return static_cast<std::time_t>(header.win_modification_time / kFileTimeTicksPerSecond -
                                  kFileTimeToUnixSeconds);
}

std::uint8_t Attribute(const LHAFileHeader& header, std::uint8_t stored) {
  const bool unixReadOnly = HasUnixMode(header) && (header.unix_perms & kUnixWriteBits) == 0;
  return static_cast<std::uint8_t>(stored | (unixReadOnly ? ATTR_READONLY : 0));
}

}  // namespace

bool IsSupportedMethod(std::string_view method) {
  if (method == LHA_COMPRESS_TYPE_DIR) return true;
  std::string name(method);
  return lha_decoder_for_name(name.data()) != nullptr;
}

std::unique_ptr<LzhReader> LzhReader::Open(FileSystem& files, const std::string& archive,
                                           ArchiveDigest digest) {
  auto file = files.OpenRead(archive);
  if (!file) return nullptr;
  auto source = std::make_unique<Source>();
  source->file = std::move(file);
  if (digest == ArchiveDigest::Take)
    source->hashing = std::make_unique<HashingInput>(*source->file);
  std::unique_ptr<LzhReader> reader(new LzhReader(files, archive, std::move(source)));
  if (reader->stream_ == nullptr || reader->reader_ == nullptr) return nullptr;
  return reader;
}

LzhReader::LzhReader(FileSystem& files, std::string archive, std::unique_ptr<Source> source)
    : files_(files),
      archive_(std::move(archive)),
      source_(std::move(source)),
      buffer_(kDataBlock) {
  OpenLibraryReader();
}

LzhReader::~LzhReader() { CloseLibraryReader(); }

void LzhReader::OpenLibraryReader() {
  stream_ = lha_input_stream_new(&kSourceType, source_.get());
  if (stream_ != nullptr) reader_ = lha_reader_new(stream_);
  // Folders come once, where they stand in the archive.
  if (reader_ != nullptr) lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
}

void LzhReader::CloseLibraryReader() {
  if (reader_ != nullptr) lha_reader_free(reader_);
  if (stream_ != nullptr) lha_input_stream_free(stream_);
  reader_ = nullptr;
  stream_ = nullptr;
}

HeaderResult LzhReader::NextMember(LzhMember& member) {
  for (;;) {
    source_->Watch(nextHeaderOffset_);
    header_ = lha_reader_next_file(reader_);
    source_->watching = false;
    if (header_ != nullptr) return TakeMember(member);
    if (source_->readError) return HeaderResult::Broken;
    const auto dataless = ReadDatalessEntry(source_->watched);
    if (!dataless) return EndOrBroken();
    // liblhasa stops at it for good: a new reader goes on after it.
    nextHeaderOffset_ += dataless->headerLength;
    if (!source_->RewindTo(nextHeaderOffset_)) return HeaderResult::Broken;
    CloseLibraryReader();
    OpenLibraryReader();
    if (reader_ == nullptr) return HeaderResult::Broken;
    // A link, or a folder with no name at all: nothing to make.
    if (dataless->folder.empty()) continue;
    ++memberIndex_;
    member = LzhMember{dataless->folder, MemberKind::Folder, LHA_COMPRESS_TYPE_DIR, 0, 0, 0};
    memberSize_ = 0;
    return HeaderResult::Member;
  }
}

// liblhasa stops at the end and at a header it cannot read alike. The
// archive ends with a zero byte, or with the file, where a header would
// begin; no member at all is no archive.
HeaderResult LzhReader::EndOrBroken() const {
  if (memberIndex_ < 0) return HeaderResult::Broken;
  if (!source_->watched.empty())
    return source_->watched[0] == 0 ? HeaderResult::End : HeaderResult::Broken;
  return source_->position == nextHeaderOffset_ ? HeaderResult::End : HeaderResult::Broken;
}

HeaderResult LzhReader::TakeMember(LzhMember& member) {
  const std::string_view raw(reinterpret_cast<const char*>(header_->raw_data),
                             header_->raw_data_len);
  // After the first header liblhasa must not hunt for a later one, as it
  // does past a self-extractor at the start: the header must begin where
  // it should. (It rewrites some extensions in place; the fixed fields up
  // to the level stay as read.)
  const std::string_view fixed = raw.substr(0, kLevelOffset + 1);
  if (nextHeaderOffset_ != 0 &&
      std::string_view(source_->watched).substr(0, fixed.size()) != fixed) {
    return HeaderResult::Broken;
  }
  ++memberIndex_;
  nextHeaderOffset_ = source_->position + header_->compressed_length;
  const auto stored = ReadStoredHeader(raw);
  if (!stored) return HeaderResult::Broken;
  member.name = stored->name;
  member.kind = KindOf(*header_);
  member.method = header_->compress_method;
  memberSize_ = stored->largeSize.value_or(header_->length);
  member.size = memberSize_;
  member.modificationTime = ModificationTime(*header_);
  member.attribute = Attribute(*header_, stored->attribute);
  // Amiga LhA writes a folder at level 0 as an empty member whose name
  // ends with '/'.
  if (member.kind == MemberKind::File && memberSize_ == 0 && EndsWithFolderSeparator(member.name)) {
    member.kind = MemberKind::Folder;
  }
  return HeaderResult::Member;
}

DataResult LzhReader::ReadData(const std::function<bool(std::string_view)>& sink) {
  // A folder liblhasa did not read has no data.
  if (header_ == nullptr) return DataResult::Corrupt;
  if (memberSize_ > UINT32_MAX) return DataResult::TooLarge;
  std::uint16_t crc = 0;
  std::uint64_t length = 0;
  for (;;) {
    const std::size_t got = lha_reader_read(reader_, buffer_.data(), buffer_.size());
    if (got == 0) break;
    const std::string_view block(buffer_.data(), got);
    crc = UpdateLzhCrc(crc, block);
    length += got;
    if (!sink(block)) return DataResult::SinkFailed;
  }
  if (source_->readError) return DataResult::Corrupt;
  if (length == memberSize_ && crc == header_->crc) return DataResult::Complete;
  const bool dataForkOnly = header_->os_type == LHA_OS_TYPE_MACOS && length < memberSize_;
  return dataForkOnly && MacBinaryMemberChecks() ? DataResult::Complete : DataResult::Corrupt;
}

std::optional<Sha256::Hash> LzhReader::ArchiveSha256() {
  if (!source_->hashing || source_->readError) return std::nullopt;
  return source_->hashing->Finish();
}

// liblhasa took a MacBinary header off the data: the CRC covers what it
// decoded, which only its own check sees, on a second reading of the member.
bool LzhReader::MacBinaryMemberChecks() {
  auto again = Open(files_, archive_);
  if (!again) return false;
  LzhMember skipped;
  for (int index = 0; index <= memberIndex_; ++index) {
    if (again->NextMember(skipped) != HeaderResult::Member) return false;
  }
  return lha_reader_check(again->reader_, nullptr, nullptr) != 0;
}

}  // namespace tovrin
