#pragma once
// What an update run does, told as it happens. The journal, the log, the
// progress display and the dry run listen; the engine does not know them.
// Every text is CP932; paths are Windows paths.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

enum class UpdateOutcome;

enum class FileChangeKind {
  Added,          // a file that was not there
  Replaced,       // a file rewritten or replaced whole
  FolderCreated,  // a folder that was not there
  Removed,        // a file taken away
  Modified,       // a file changed in place: emptied, or its attributes or times set
};

struct FileChange {
  FileChangeKind kind = FileChangeKind::Added;
  std::string path;
};

// Why the product checks refused the folder, in words a support desk can
// act on: which check, what it looked for and where, what it found.
struct Refusal {
  std::string check;
  std::vector<std::string> findings;
};

class RunEvents {
 public:
  virtual ~RunEvents() = default;

  // The folder holds a product that may take the update.
  virtual void ProductAccepted(const std::string& /*productFolder*/, int /*productNo*/) {}
  virtual void ProductRefused(const Refusal& /*refusal*/) {}

  // A disk of the medium looked at before its first write: the id of the
  // key that signed its SHA256SUMS (none when unsigned), and whether that
  // key is one the product trusts and the signature verified.
  virtual void MediumVerified(int /*disk*/, const std::optional<std::string>& /*signer*/,
                              bool /*trusted*/) {}

  // Record `index` (from 1) of `count` begins: its source on the medium and its
  // target folder in the product.
  virtual void RecordStarted(int /*index*/, int /*count*/, const std::string& /*source*/,
                             const std::string& /*targetFolder*/) {}
  // Bytes of record data written into the product since the last call.
  virtual void BytesWritten(std::uint64_t /*bytes*/) {}
  // More record data the run expects to write: the archives' members and
  // the single files it can see, told before the first record and again
  // when a disk brings records it could not see before.
  virtual void BytesPlanned(std::uint64_t /*bytes*/, int /*records*/) {}

  // Before the product changes. False forbids the change (for instance, the
  // journal could not keep the old file); the caller then fails that step.
  virtual bool FileChanging(const FileChange& /*change*/) { return true; }
  virtual void FileChanged(const FileChange& /*change*/) {}

  // The content of a product file as it passes through the run, so that it
  // need not be read again to be known: one `stream` for each file opened,
  // a write from the file's start or a read from its start. The stream is
  // whole when a read reached the end or a write's content took its place.
  virtual void ContentBegun(const void* /*stream*/, const std::string& /*path*/, bool /*writing*/) {
  }
  virtual void ContentStreamed(const void* /*stream*/, std::string_view /*bytes*/) {}
  virtual void ContentEnded(const void* /*stream*/, bool /*whole*/) {}
  // A file moved whole to another name in the product, its content with it.
  virtual void ContentMoved(const std::string& /*from*/, const std::string& /*to*/) {}

  // A settings key written; `oldValue` is nullopt where the key was absent.
  virtual void SettingWritten(const std::string& /*file*/, const std::string& /*section*/,
                              const std::string& /*key*/,
                              const std::optional<std::string>& /*oldValue*/,
                              const std::string& /*newValue*/) {}
  virtual void MasterConverted(const std::string& /*path*/, int /*recordsRewritten*/) {}

  // A box about to be shown, so that a display of progress can make room.
  virtual void BoxShowing(const std::string& /*caption*/, const std::string& /*text*/) {}
  // A box shown to the user and the answer (IDOK or IDCANCEL).
  virtual void BoxShown(const std::string& /*caption*/, const std::string& /*text*/,
                        int /*answer*/) {}

  // The product put back from a journal (a failed run's, or a killed one's
  // at the start): the Windows paths that could not be, and the folders
  // left in place because they now hold the user's files; none of either
  // when it is back as it was.
  virtual void ProductRestored(const std::vector<std::string>& /*notRestored*/,
                               const std::vector<std::string>& /*leftInPlace*/) {}
  // The product is back, but the journal's own leftover in `folder` (a
  // Windows path) could not be removed yet; the next start removes it.
  virtual void JournalLeftOver(const std::string& /*folder*/) {}

  virtual void RunEnded(UpdateOutcome /*outcome*/) {}
};

// Tells every listener in turn; a change is allowed only if all allow it.
class RunEventFanout : public RunEvents {
 public:
  void Add(RunEvents& listener) { listeners_.push_back(&listener); }

  void ProductAccepted(const std::string& folder, int productNo) override {
    for (auto* l : listeners_) l->ProductAccepted(folder, productNo);
  }
  void ProductRefused(const Refusal& refusal) override {
    for (auto* l : listeners_) l->ProductRefused(refusal);
  }
  void MediumVerified(int disk, const std::optional<std::string>& signer, bool trusted) override {
    for (auto* l : listeners_) l->MediumVerified(disk, signer, trusted);
  }
  void RecordStarted(int index, int count, const std::string& source,
                     const std::string& targetFolder) override {
    for (auto* l : listeners_) l->RecordStarted(index, count, source, targetFolder);
  }
  void BytesWritten(std::uint64_t bytes) override {
    for (auto* l : listeners_) l->BytesWritten(bytes);
  }
  void BytesPlanned(std::uint64_t bytes, int records) override {
    for (auto* l : listeners_) l->BytesPlanned(bytes, records);
  }
  bool FileChanging(const FileChange& change) override {
    for (auto* l : listeners_) {
      if (!l->FileChanging(change)) return false;
    }
    return true;
  }
  void FileChanged(const FileChange& change) override {
    for (auto* l : listeners_) l->FileChanged(change);
  }
  void ContentBegun(const void* stream, const std::string& path, bool writing) override {
    for (auto* l : listeners_) l->ContentBegun(stream, path, writing);
  }
  void ContentStreamed(const void* stream, std::string_view bytes) override {
    for (auto* l : listeners_) l->ContentStreamed(stream, bytes);
  }
  void ContentEnded(const void* stream, bool whole) override {
    for (auto* l : listeners_) l->ContentEnded(stream, whole);
  }
  void ContentMoved(const std::string& from, const std::string& to) override {
    for (auto* l : listeners_) l->ContentMoved(from, to);
  }
  void SettingWritten(const std::string& file, const std::string& section, const std::string& key,
                      const std::optional<std::string>& oldValue,
                      const std::string& newValue) override {
    for (auto* l : listeners_) l->SettingWritten(file, section, key, oldValue, newValue);
  }
  void MasterConverted(const std::string& path, int recordsRewritten) override {
    for (auto* l : listeners_) l->MasterConverted(path, recordsRewritten);
  }
  void BoxShowing(const std::string& caption, const std::string& text) override {
    for (auto* l : listeners_) l->BoxShowing(caption, text);
  }
  void BoxShown(const std::string& caption, const std::string& text, int answer) override {
    for (auto* l : listeners_) l->BoxShown(caption, text, answer);
  }
  void ProductRestored(const std::vector<std::string>& notRestored,
                       const std::vector<std::string>& leftInPlace) override {
    for (auto* l : listeners_) l->ProductRestored(notRestored, leftInPlace);
  }
  void JournalLeftOver(const std::string& folder) override {
    for (auto* l : listeners_) l->JournalLeftOver(folder);
  }
  void RunEnded(UpdateOutcome outcome) override {
    for (auto* l : listeners_) l->RunEnded(outcome);
  }

 private:
  std::vector<RunEvents*> listeners_;
};

// The listener of a run that nobody watches.
inline RunEvents& NoRunEvents() {
  static RunEvents none;
  return none;
}

}  // namespace tovrin
