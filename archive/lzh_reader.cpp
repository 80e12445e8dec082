#include "archive/lzh_reader.hpp"

#include <algorithm>
#include <climits>
#include <optional>

#include "archive/lzh_crc.hpp"
#include "archive/member_header.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// The archive file as liblhasa reads it, counting the bytes read so that
// the end of the archive can be told from a header that is broken. The
// decoders ask for a few bytes at a time, so the file is read in blocks.
struct LzhReader::Source {
  static constexpr std::size_t kBlock = 64 * 1024;

  std::unique_ptr<InputFile> file;
  std::vector<char> block = std::vector<char>(kBlock);
  std::size_t blockStart = 0;
  std::size_t blockEnd = 0;
  std::uint64_t position = 0;
  bool atEnd = false;
  bool readError = false;
  // The first byte at the offset where the next header should begin.
  std::uint64_t watchedOffset = 0;
  std::optional<unsigned char> watchedByte;

  // Fills `buffer` unless the file ends first; liblhasa reads once per call.
  std::size_t Read(char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size && (blockStart < blockEnd || Refill())) {
      const std::size_t count = std::min(size - got, blockEnd - blockStart);
      std::copy_n(block.data() + blockStart, count, buffer + got);
      blockStart += count;
      got += count;
    }
    if (!watchedByte && watchedOffset >= position && watchedOffset < position + got) {
      watchedByte = static_cast<unsigned char>(buffer[watchedOffset - position]);
    }
    position += got;
    return got;
  }

 private:
  bool Refill() {
    if (atEnd) return false;
    const auto count = file->Read(block.data(), block.size());
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
constexpr unsigned kUnixTypeBits = 0170000;
constexpr unsigned kUnixLink = 0120000;
constexpr unsigned kUnixWriteBits = 0222;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;
constexpr std::uint64_t kFileTimeToUnixSeconds = 11644473600;

int ReadSource(void* handle, void* buffer, std::size_t size) {
  auto& source = *static_cast<LzhReader::Source*>(handle);
  const std::size_t got = source.Read(static_cast<char*>(buffer), std::min<std::size_t>(size, INT_MAX));
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

bool HasUnixMode(const LHAFileHeader& header) { return LHA_FILE_HAVE_EXTRA(&header, LHA_FILE_UNIX_PERMS); }

MemberKind KindOf(const LHAFileHeader& header) {
  const unsigned type = HasUnixMode(header) ? header.unix_perms & kUnixTypeBits : 0;
  if (header.symlink_target != nullptr || type == kUnixLink) return MemberKind::Link;
  if (std::string_view(header.compress_method) == LHA_COMPRESS_TYPE_DIR) return MemberKind::Folder;
  // A FIFO, a character or block device or a socket.
  if (type == 0010000 || type == 0020000 || type == 0060000 || type == 0140000) return MemberKind::Device;
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

std::unique_ptr<LzhReader> LzhReader::Open(FileSystem& files, const std::string& archive) {
  auto file = files.OpenRead(archive);
  if (!file) return nullptr;
  auto source = std::make_unique<Source>();
  source->file = std::move(file);
  std::unique_ptr<LzhReader> reader(new LzhReader(files, archive, std::move(source)));
  if (reader->stream_ == nullptr || reader->reader_ == nullptr) return nullptr;
  return reader;
}

LzhReader::LzhReader(FileSystem& files, std::string archive, std::unique_ptr<Source> source)
    : files_(files), archive_(std::move(archive)), source_(std::move(source)), buffer_(kDataBlock) {
  stream_ = lha_input_stream_new(&kSourceType, source_.get());
  if (stream_ != nullptr) reader_ = lha_reader_new(stream_);
  // Folders come once, where they stand in the archive.
  if (reader_ != nullptr) lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
}

LzhReader::~LzhReader() {
  if (reader_ != nullptr) lha_reader_free(reader_);
  if (stream_ != nullptr) lha_input_stream_free(stream_);
}

HeaderResult LzhReader::NextMember(LzhMember& member) {
  source_->watchedOffset = nextHeaderOffset_;
  source_->watchedByte.reset();
  header_ = lha_reader_next_file(reader_);
  if (header_ == nullptr) {
    // liblhasa stops at the end and at a header it cannot read alike. The
    // archive ends with a zero byte, or with the file, where a header
    // would begin; no member at all is no archive.
    if (memberIndex_ < 0 || source_->readError) return HeaderResult::Broken;
    if (source_->watchedByte) return *source_->watchedByte == 0 ? HeaderResult::End : HeaderResult::Broken;
    return source_->position == nextHeaderOffset_ ? HeaderResult::End : HeaderResult::Broken;
  }
  ++memberIndex_;
  nextHeaderOffset_ = source_->position + header_->compressed_length;
  const auto stored = ReadStoredHeader(
      std::string_view(reinterpret_cast<const char*>(header_->raw_data), header_->raw_data_len));
  if (!stored) return HeaderResult::Broken;
  member.name = stored->name;
  member.kind = KindOf(*header_);
  member.method = header_->compress_method;
  memberSize_ = stored->largeSize.value_or(header_->length);
  member.size = memberSize_;
  member.modificationTime = ModificationTime(*header_);
  member.attribute = Attribute(*header_, stored->attribute);
  return HeaderResult::Member;
}

DataResult LzhReader::ReadData(const std::function<bool(std::string_view)>& sink) {
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
