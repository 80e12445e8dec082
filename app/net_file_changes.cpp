#include "app/net_file_changes.hpp"

namespace tovrin {

void NetFileChanges::Note(const FileChange& change) {
  const auto [found, added] =
      pendingByKey_.try_emplace(digests_.KeyOf(change.path), pending_.size());
  if (added) {
    const bool isNew =
        change.kind == FileChangeKind::Added || change.kind == FileChangeKind::FolderCreated;
    pending_.push_back({change.path, change.kind == FileChangeKind::FolderCreated,
                        isNew ? std::nullopt : digests_.DigestOf(change.path)});
  }
  digests_.Changing(change);
}

std::vector<NetFileChange> NetFileChanges::Settle() {
  std::vector<NetFileChange> changes;
  for (const auto& change : pending_) {
    // As the disk spells it, whatever separators the run's text doubled.
    const auto host = files_.Resolve(change.path);
    const auto windowsPath = host ? files_.ToWindowsPath(*host) : std::nullopt;
    const std::string path = windowsPath.value_or(change.path);
    if (change.isFolder) {
      changes.push_back({NetFileChange::Kind::FolderAdded, path, std::nullopt, std::nullopt});
      continue;
    }
    auto after = digests_.DigestOf(change.path);
    if (!after && !change.before) continue;
    if (after && change.before && after->sha256 == change.before->sha256) continue;
    const auto kind = !after          ? NetFileChange::Kind::Removed
                      : change.before ? NetFileChange::Kind::Replaced
                                      : NetFileChange::Kind::Added;
    changes.push_back({kind, path, change.before, std::move(after)});
  }
  pending_.clear();
  pendingByKey_.clear();
  return changes;
}

}  // namespace tovrin
