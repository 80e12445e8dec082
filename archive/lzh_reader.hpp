#pragma once
// Reading an LZH archive member by member through liblhasa, from a file of
// the platform's file system, with the member names as stored (CP932).

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <lhasa.h>

#include "archive/staged_extraction.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

enum class MemberKind { File, Folder, Link, Device };

struct LzhMember {
  std::string name;  // CP932 as stored, '\' or '/' between folders
  MemberKind kind = MemberKind::File;
  std::string method;  // "-lh5-"
  std::uint64_t size = 0;
  std::time_t modificationTime = 0;
  std::uint8_t attribute = 0;  // DOS attribute bits
};

enum class HeaderResult { Member, End, Broken };
// TooLarge: the member is larger than liblhasa decodes (4 GiB less a byte:
// it keeps sizes in 32 bits), whatever the 64-bit size extension says.
enum class DataResult { Complete, Corrupt, TooLarge, SinkFailed };

class LzhReader {
 public:
  // Null when the archive (a Windows path) cannot be opened.
  static std::unique_ptr<LzhReader> Open(FileSystem& files, const std::string& archive,
                                         ArchiveDigest digest = ArchiveDigest::Skip);
  ~LzhReader();
  LzhReader(const LzhReader&) = delete;
  LzhReader& operator=(const LzhReader&) = delete;

  HeaderResult NextMember(LzhMember& member);
  // Hands the member's data to `sink` in order, checking its length and CRC
  // as it streams; a sink that returns false stops the reading.
  DataResult ReadData(const std::function<bool(std::string_view)>& sink);
  // Opened with ArchiveDigest::Take: the file read on to its end and the
  // hash of all its bytes, those liblhasa decoded among them; nullopt
  // otherwise or when a read failed. Once, after the last member.
  std::optional<Sha256::Hash> ArchiveSha256();

  // The archive file under liblhasa's input stream.
  struct Source;

 private:
  LzhReader(FileSystem& files, std::string archive, std::unique_ptr<Source> source);
  void OpenLibraryReader();
  void CloseLibraryReader();
  HeaderResult TakeMember(LzhMember& member);
  HeaderResult EndOrBroken() const;
  bool MacBinaryMemberChecks();

  FileSystem& files_;
  std::string archive_;
  std::unique_ptr<Source> source_;
  LHAInputStream* stream_ = nullptr;
  LHAReader* reader_ = nullptr;
  LHAFileHeader* header_ = nullptr;
  int memberIndex_ = -1;
  std::uint64_t nextHeaderOffset_ = 0;
  std::uint64_t memberSize_ = 0;
  std::vector<char> buffer_;
};

// Methods whose data liblhasa can decode ("-lhd-" is a folder).
bool IsSupportedMethod(std::string_view method);

}  // namespace tovrin
