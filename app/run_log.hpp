#pragma once
// The log of a run: one line for each thing the run does, in words a
// support desk can read without the program at hand.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "app/file_digest.hpp"
#include "app/log_output.hpp"
#include "app/streamed_digests.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Each file is told by its net change over one step of the run (a record, a
// setting, a master): a work file that came and went, or a change of its
// time stamp only, is not a change of the product.
class RunLog : public RunEvents {
 public:
  // `header` (UTF-8) opens the log, before the first event. `files` reads
  // the product's files for their sizes and hashes.
  RunLog(LogOutput& output, FileSystem& files, std::vector<std::string> header);

  void ProductAccepted(const std::string& productFolder, int productNo) override;
  void ProductRefused(const Refusal& refusal) override;
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
  void RunEnded(UpdateOutcome outcome) override;

 private:
  struct PendingChange {
    std::string path;
    bool isFolder = false;
    std::optional<FileDigest> before;  // nullopt: it was not there
  };

  // Tells the files changed since the last line, then `text`.
  void Write(const std::string& text);
  void WriteFileChanges();

  LogOutput& output_;
  FileSystem& files_;
  StreamedDigests digests_;
  std::vector<std::string> header_;
  std::vector<PendingChange> pending_;  // in the order of their first change
  std::map<std::string, std::size_t> pendingByKey_;
};

}  // namespace tovrin
