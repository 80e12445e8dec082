#pragma once
// The log of a run: one line for each thing the run does, in words a
// support desk can read without the program at hand.

#include <string>
#include <vector>

#include "app/log_output.hpp"
#include "app/net_file_changes.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Each file is told by its net change over one step of the run (a record, a
// setting, a master).
class RunLog : public RunEvents {
 public:
  // `header` (UTF-8) opens the log, before the first event. `files` reads
  // the product's files for their sizes and hashes.
  RunLog(LogOutput& output, FileSystem& files, std::vector<std::string> header);

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
  void JournalLeftOver(const std::string& folder) override;
  void RunEnded(UpdateOutcome outcome) override;

 private:
  // Tells the files changed since the last line, then `text`.
  void Write(const std::string& text);
  void WriteHeaderAndChanges();
  void WriteFileChanges();

  LogOutput& output_;
  NetFileChanges changes_;
  std::vector<std::string> header_;
  bool changed_ = false;  // a line of the log told a change of the product
  bool putBack_ = false;  // and the journal then took every such change back
};

}  // namespace tovrin
