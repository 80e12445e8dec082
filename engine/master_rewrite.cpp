#include "engine/master_rewrite.hpp"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "platform/text_reader.hpp"

namespace tovrin {
namespace {

// Converted lines are collected and written in chunks of this size, so a
// file of any length passes through fixed buffers.
constexpr std::size_t kWriteChunk = 64 * 1024;

// The work file of one rewrite. Unless it took the master's place, it is
// closed and removed again when the rewrite ends.
class WorkFile {
 public:
  WorkFile(FileSystem& files, std::string path)
      : files_(files),
        path_(std::move(path)),
        output_(files_.Create(path_)) {}
  ~WorkFile() {
    if (!output_ && !abandoned_) return;
    output_.reset();
    try {
      files_.Remove(path_);
    } catch (...) {
      // A "temp.mst" left behind is harmless: the next rewrite replaces it.
    }
  }
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;

  bool IsOpen() const { return output_ != nullptr; }
  OutputFile& Output() { return *output_; }

  // Puts the whole content on the disk, then renames it over the master in
  // one step: the old content stays under the master's name until then.
  bool ReplaceMaster(const std::string& masterPath) {
    const bool written = output_->Flush() && output_->Close();
    output_.reset();
    abandoned_ = !written || !files_.Replace(path_, masterPath);
    return !abandoned_;
  }

 private:
  FileSystem& files_;
  std::string path_;
  std::unique_ptr<OutputFile> output_;
  bool abandoned_ = false;
};

// A record counts as rewritten when the rule changed its bytes; the line end
// the rule appends is not compared.
bool Rewritten(std::string_view line, std::string_view appended) {
  return appended.substr(0, appended.size() - std::min<std::size_t>(appended.size(), 2)) != line;
}

std::optional<int> WriteConverted(InputFile& master, OutputFile& work, MasterLineRule rule) {
  // The reader holds a 64 KB buffer: keep it off the stack.
  auto reader = std::make_unique<TextReader>(master);
  std::string line;
  std::string pending;
  pending.reserve(2 * kWriteChunk);
  int rewritten = 0;
  while (reader->ReadLine(line)) {
    const std::size_t start = pending.size();
    rule(line, pending);
    if (Rewritten(line, std::string_view(pending).substr(start))) ++rewritten;
    if (pending.size() < kWriteChunk) continue;
    if (!work.Write(pending)) return std::nullopt;
    pending.clear();
  }
  if (reader->Failed()) return std::nullopt;
  if (!pending.empty() && !work.Write(pending)) return std::nullopt;
  return rewritten;
}

// Whether the conversion would change the master: a record the rule
// rewrites, or a file the conversion would not give back at its size (a
// Ctrl-Z and what follows it dropped, a line end made CR LF). Read only as
// far as the first rewritten record; nullopt on a read error.
std::optional<bool> ConversionChanges(InputFile& master, std::uint64_t masterSize,
                                      MasterLineRule rule) {
  auto reader = std::make_unique<TextReader>(master);
  std::string line;
  std::string converted;
  std::uint64_t convertedSize = 0;
  while (reader->ReadLine(line)) {
    converted.clear();
    rule(line, converted);
    if (Rewritten(line, converted)) return true;
    convertedSize += converted.size();
  }
  if (reader->Failed()) return std::nullopt;
  return convertedSize != masterSize;
}

}  // namespace

std::optional<int> RewriteMasterFile(FileSystem& files, const std::string& folder,
                                     const std::string& name, MasterLineRule rule) {
  const std::string masterPath = folder + name;
  // Its size before it is opened: Windows may refuse to look at an open one.
  FileStatus status;
  if (!files.GetStatus(masterPath, status)) return std::nullopt;
  auto master = files.OpenRead(masterPath, OpenAccess::ReadWrite);
  if (!master) return std::nullopt;
  // A master the conversion gives back as it is keeps its file: no work
  // file, no replacement.
  const auto changes = ConversionChanges(*master, status.size, rule);
  if (!changes || !*changes) return changes ? std::optional<int>(0) : std::nullopt;
  // Closed first: a second handle on it may be refused while this one is open.
  master.reset();
  master = files.OpenRead(masterPath, OpenAccess::ReadWrite);
  if (!master) return std::nullopt;
  WorkFile work(files, folder + std::string(kMasterWorkFileName));
  if (!work.IsOpen()) return std::nullopt;
  const auto rewritten = WriteConverted(*master, work.Output(), rule);
  if (!rewritten) return std::nullopt;
  master.reset();
  if (!work.ReplaceMaster(masterPath)) return std::nullopt;
  return rewritten;
}

}  // namespace tovrin
