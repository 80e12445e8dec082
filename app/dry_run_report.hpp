#pragma once
// What a dry run found: the files the update would add or replace, the
// settings it would change, the masters it would convert; or why the
// product would refuse it. Printed when the run ends.

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "engine/dry_run_file_system.hpp"
#include "engine/run_events.hpp"

namespace tovrin {

class DryRunReport : public RunEvents {
 public:
  DryRunReport(const DryRunFileSystem& files, std::ostream& out) : files_(files), out_(out) {}

  void ProductRefused(const Refusal& refusal) override { refusal_ = refusal; }
  void MediumVerified(int disk, const std::optional<std::string>& signer, bool trusted) override;
  void SettingWritten(const std::string& file, const std::string& section, const std::string& key,
                      const std::optional<std::string>& oldValue,
                      const std::string& newValue) override;
  void MasterConverted(const std::string& path, int recordsRewritten) override;
  void RunEnded(UpdateOutcome outcome) override;

 private:
  struct MasterFolder {
    std::set<std::string> files;  // both conversions rewrite the same files
    int records = 0;
  };

  std::string HostKey(const std::string& path) const;
  void PrintFiles(std::ostream& out) const;

  const DryRunFileSystem& files_;
  std::ostream& out_;
  std::optional<Refusal> refusal_;
  std::vector<std::string> signatures_;    // a line per disk looked at
  std::vector<std::string> settings_;      // the lines to print
  std::vector<std::string> settingFiles_;  // host keys, listed as settings rather than files
  std::map<std::string, MasterFolder> masterFolders_;
  std::vector<std::string> masterFiles_;  // host keys
};

}  // namespace tovrin
