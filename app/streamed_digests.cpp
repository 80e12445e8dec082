#include "app/streamed_digests.hpp"

#include <utility>

namespace tovrin {

std::string StreamedDigests::KeyOf(const std::string& path) const {
  const auto host = files_.Resolve(path);
  return host ? host->lexically_normal().string() : path;
}

std::optional<FileDigest> StreamedDigests::DigestOf(const std::string& path) {
  const std::string key = KeyOf(path);
  if (const auto found = known_.find(key); found != known_.end()) return found->second;
  // Its own reading streams through the run's file system too.
  readingItself_ = true;
  auto digest = tovrin::DigestOf(files_, path);
  readingItself_ = false;
  if (digest) known_[key] = *digest;
  return digest;
}

void StreamedDigests::Changing(const FileChange& change) {
  if (change.kind == FileChangeKind::Modified) return;
  const std::string key = KeyOf(change.path);
  leaving_.erase(key);
  if (auto found = known_.extract(key)) leaving_.insert(std::move(found));
  for (auto& [stream, open] : streams_) {
    if (open.key == key && !open.writing) open.changedMeanwhile = true;
  }
}

void StreamedDigests::Begun(const void* stream, const std::string& path, bool writing) {
  if (readingItself_) return;
  Stream open{KeyOf(path), nullptr, 0, writing, false};
  if (writing || !known_.contains(open.key)) open.hash = std::make_unique<Sha256>();
  streams_.insert_or_assign(stream, std::move(open));
}

void StreamedDigests::Streamed(const void* stream, std::string_view bytes) {
  const auto found = streams_.find(stream);
  if (found == streams_.end() || !found->second.hash) return;
  found->second.hash->Update(bytes.data(), bytes.size());
  found->second.size += bytes.size();
}

void StreamedDigests::Ended(const void* stream, bool whole) {
  auto node = streams_.extract(stream);
  if (!node) return;
  Stream& ended = node.mapped();
  if (!whole || !ended.hash || ended.changedMeanwhile) return;
  known_[ended.key] = FinishDigest(*ended.hash, ended.size);
}

void StreamedDigests::Moved(const std::string& from, const std::string& to) {
  const std::string target = KeyOf(to);
  known_.erase(target);
  if (auto moved = leaving_.extract(KeyOf(from))) known_[target] = std::move(moved.mapped());
}

void StreamedDigests::Forget() {
  known_.clear();
  leaving_.clear();
  streams_.clear();
}

}  // namespace tovrin
