#pragma once
// Reading an LZH archive member by member through libarchive, with the
// member names in CP932.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace tovrin {

enum class MemberKind { File, Folder, Link, Device };

struct LzhMember {
  std::string name;      // CP932, '/' between folders; raw header bytes when !nameReadable
  bool nameReadable = true;
  MemberKind kind = MemberKind::File;
  std::string method;    // "-lh5-"
  std::uint64_t size = 0;
  std::time_t modificationTime = 0;
  std::uint8_t attribute = 0;  // DOS attribute bits
};

enum class HeaderResult { Member, End, Broken };
enum class DataResult { Complete, Corrupt, SinkFailed };

class LzhReader {
 public:
  // Null when the host file cannot be opened as an archive.
  static std::unique_ptr<LzhReader> Open(const std::filesystem::path& archive);
  ~LzhReader();
  LzhReader(const LzhReader&) = delete;
  LzhReader& operator=(const LzhReader&) = delete;

  HeaderResult NextMember(LzhMember& member);
  // Hands the member's data to `sink` in order, then checks its CRC; a sink
  // that returns false stops the reading.
  DataResult ReadData(const std::function<bool(std::string_view)>& sink);

 private:
  class ThreadLocale;
  LzhReader(int descriptor, std::unique_ptr<ThreadLocale> locale, ::archive* reader);
  std::uint8_t HeaderAttribute(int mode) const;

  int descriptor_;
  std::unique_ptr<ThreadLocale> locale_;
  ::archive* archive_;
};

// Methods whose data this library can decode ("-lhd-" is a folder).
bool IsSupportedMethod(std::string_view method);

}  // namespace tovrin
