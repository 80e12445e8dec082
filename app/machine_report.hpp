#pragma once
// The report of a run for machines (--report FILE): one JSON document,
// written when the program ends, that a deployment tool reads across many
// PCs: the outcome in a word, whether anything changed, each change, each
// box and its answer, why a run was refused, what a restore put back.

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/net_file_changes.hpp"
#include "engine/run_events.hpp"
#include "engine/update_run.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

class MachineReport : public RunEvents {
 public:
  enum class Mode { Run, DryRun, Undo, Wizard };

  // `path` is UTF-8. `files` reads the product's files for their sizes and
  // hashes and the medium's info.txt in `mediumFolder`; `destination` is the
  // product folder the command line gave, for a run refused before it found one.
  MachineReport(std::string path, Mode mode, FileSystem& files, const std::string& mediumFolder,
                const std::optional<std::string>& destination, std::ostream& errors);

  void ProductAccepted(const std::string& productFolder, int productNo) override;
  void ProductRefused(const Refusal& refusal) override;
  void MediumVerified(int disk, const std::optional<std::string>& signer, bool trusted) override;
  void RecordStarted(int index, int count, const std::string& source,
                     const std::string& targetFolder) override;
  bool FileChanging(const FileChange& change) override;
  void ContentBegun(const void* stream, const std::string& path, bool writing) override;
  void ContentStreamed(const void* stream, std::string_view bytes) override;
  void ContentEnded(const void* stream, bool whole) override;
  void ContentMoved(const std::string& from, const std::string& to) override;
  void SettingWritten(const std::string& file, const std::string& section, const std::string& key,
                      const std::optional<std::string>& oldValue,
                      const std::string& newValue) override;
  void MasterConverted(const std::string& path, int recordsRewritten) override;
  void BoxShown(const std::string& caption, const std::string& text, int answer) override;
  void ProductRestored(const std::vector<std::string>& notRestored,
                       const std::vector<std::string>& leftInPlace) override;
  void RunEnded(UpdateOutcome outcome) override;

  // Writes the document, whole or not at all, with the status the program
  // returns. A report that cannot be written is told once on `errors`.
  void Write(int exitStatus);

 private:
  struct Setting {
    std::string file, section, key;
    std::optional<std::string> oldValue;
    std::string newValue;
  };
  struct Master {
    std::string path;
    int records = 0;
  };
  struct Box {
    std::string caption, text;
    bool ok = false;
  };

  void SettleFiles();
  std::string OutcomeWord(int exitStatus) const;
  bool Changed(const std::string& outcomeWord) const;

  std::string path_;
  Mode mode_;
  std::ostream& errors_;
  std::chrono::system_clock::time_point started_;
  std::string mediumFolder_, mediumTitle_, mediumVersion_;
  std::optional<std::string> productFolder_;
  std::optional<int> productNo_;
  struct DiskSignature {
    int disk = 0;
    std::optional<std::string> signer;
    bool trusted = false;
  };
  std::vector<DiskSignature> signatures_;
  NetFileChanges pending_;
  std::vector<NetFileChange> files_;
  std::vector<Setting> settings_;
  std::vector<Master> masters_;
  std::vector<Box> boxes_;
  std::optional<Refusal> refusal_;
  // Set by a restore; a killed run's put back first and then the undo's add up.
  struct Restore {
    std::vector<std::string> notRestored, leftInPlace;
  };
  std::optional<Restore> restore_;
  std::optional<UpdateOutcome> outcome_;
};

}  // namespace tovrin
