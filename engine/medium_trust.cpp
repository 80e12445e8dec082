#include "engine/medium_trust.hpp"

#include "engine/text_format.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

using Kind = MediumDistrust::Kind;

constexpr std::size_t kReadBuffer = 64 * 1024;

// The whole file if it holds no more than `limit` bytes.
std::optional<std::string> ReadBounded(FileSystem& files, const std::string& path,
                                       std::size_t limit, bool& tooLong) {
  tooLong = false;
  auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  std::string content;
  std::string buffer(kReadBuffer, '\0');
  for (;;) {
    const auto count = input->Read(buffer.data(), buffer.size());
    if (!count) return std::nullopt;
    if (*count == 0) return content;
    content.append(buffer, 0, *count);
    if (content.size() > limit) {
      tooLong = true;
      return std::nullopt;
    }
  }
}

MediumDistrust Distrust(Kind kind, const std::string& file, std::string detail = {}) {
  return {kind, path_text::SingleSeparators(file), std::move(detail)};
}

}  // namespace

std::variant<DiskSignature, MediumDistrust> ReadDiskSignature(FileSystem& files,
                                                              const std::string& diskRoot,
                                                              const TrustedKeys& trusted) {
  const std::string manifestPath = diskRoot + kManifestName;
  const std::string signaturePath = diskRoot + kManifestSignatureName;
  const Presence manifestThere = files.Exists(manifestPath);
  const Presence signatureThere = files.Exists(signaturePath);
  DiskSignature disk;
  if (manifestThere == Presence::Absent && signatureThere == Presence::Absent) {
    if (trusted.Required()) return Distrust(Kind::NotSigned, signaturePath);
    return disk;
  }
  if (manifestThere == Presence::Absent) return Distrust(Kind::Missing, manifestPath);
  bool tooLong = false;
  const auto manifestText = ReadBounded(files, manifestPath, kManifestMaxBytes, tooLong);
  if (!manifestText) {
    return Distrust(Kind::Unreadable, manifestPath,
                    tooLong ? "longer than " + std::to_string(kManifestMaxBytes) + " bytes" : "");
  }
  if (signatureThere == Presence::Absent) {
    if (trusted.Required()) return Distrust(Kind::NotSigned, signaturePath);
  } else {
    const auto signatureText =
        ReadBounded(files, signaturePath, kMinisignSignatureMaxBytes, tooLong);
    if (!signatureText) {
      return Distrust(tooLong ? Kind::BadSignature : Kind::Unreadable, signaturePath);
    }
    std::string error;
    const auto signature = ParseMinisignSignature(*signatureText, error);
    if (!signature) return Distrust(Kind::BadSignature, signaturePath, error);
    disk.signer = KeyIdText(signature->keyId);
    for (const MinisignKey& key : trusted.keys) {
      if (key.id != signature->keyId) continue;
      if (!VerifyMinisign(key, *signature, *manifestText)) {
        return Distrust(Kind::BadSignature, signaturePath,
                        "it does not verify with key " + *disk.signer);
      }
      disk.trusted = true;
    }
    if (!disk.trusted && trusted.Required()) {
      return Distrust(Kind::UnknownKey, signaturePath, *disk.signer);
    }
  }
  // Parsed only once its signature, if any is required, holds.
  const ManifestParse parse = ParseSha256Manifest(*manifestText);
  if (!parse.manifest) {
    return Distrust(Kind::BadManifest, manifestPath,
                    std::to_string(parse.line) + ": " + parse.error);
  }
  disk.manifest = std::move(parse.manifest);
  return disk;
}

std::optional<MediumDistrust> AddProductKeys(FileSystem& files, const std::string& productFolder,
                                             TrustedKeys& trusted) {
  const std::string folder =
      path_text::FolderWithSeparator(productFolder) + kTrustedKeysFolder + "\\";
  if (files.Exists(folder) == Presence::Absent) return std::nullopt;
  const auto entries = files.SearchFiles(folder + "*.pub");
  if (!entries) return Distrust(Kind::BadKey, folder, "the folder cannot be listed");
  for (const FindEntry& entry : *entries) {
    if (entry.IsDots() || entry.IsDirectory()) continue;
    const std::string path = folder + entry.name;
    bool tooLong = false;
    const auto text = ReadBounded(files, path, kMinisignKeyFileMaxBytes, tooLong);
    std::string error = tooLong ? "it is too long for a key file" : "it cannot be read";
    const auto key = text ? ParseMinisignKey(*text, error) : std::nullopt;
    if (!key) return Distrust(Kind::BadKey, path, error);
    trusted.keys.push_back(*key);
  }
  return std::nullopt;
}

std::string SignatureFinding(const std::optional<std::string>& signer, bool trusted) {
  if (!signer) return "not signed";
  if (trusted) return "signed by key " + *signer + ", which the product trusts";
  return "signed by key " + *signer +
         ", which the product does not trust (its SHA256SUMS was still checked)";
}

std::string DistrustFinding(const MediumDistrust& distrust) {
  const std::string& file = distrust.file;
  const std::string because = distrust.detail.empty() ? "" : ": " + distrust.detail;
  switch (distrust.kind) {
    case Kind::NotSigned:
      return "the medium is not signed (" + file + " is not there) and a signature is required";
    case Kind::UnknownKey:
      return file + " is signed by key " + distrust.detail + ", which the product does not trust";
    case Kind::BadSignature:
      return file + " is not a valid signature of the medium's SHA256SUMS" + because;
    case Kind::BadManifest:
      return file + " is not a list of SHA-256 hashes, line " + distrust.detail;
    case Kind::NotListed:
      return file + " is read by the update but not listed in SHA256SUMS";
    case Kind::Changed:
      return file + " has changed since SHA256SUMS was made (its SHA-256 differs)";
    case Kind::Missing:
      return file + " is listed for the disk but is not there";
    case Kind::Unreadable:
      return file + " cannot be read whole" + because;
    case Kind::BadKey:
      return "the trusted key " + file + " is no minisign public key" + because;
  }
  return file;
}

std::string DistrustText(const MediumDistrust& distrust) {
  const std::string& file = distrust.file;
  switch (distrust.kind) {
    case Kind::NotSigned:
      return FormatText(cp932::Text(texts::kMediumNotSigned), {file});
    case Kind::UnknownKey:
      return FormatText(cp932::Text(texts::kMediumUnknownKey), {file, distrust.detail});
    case Kind::BadSignature:
      return FormatText(cp932::Text(texts::kMediumSignatureBroken), {file});
    case Kind::BadManifest:
      return FormatText(cp932::Text(texts::kManifestFaulty),
                        {file, distrust.detail.substr(0, distrust.detail.find(':'))});
    case Kind::NotListed:
      return FormatText(cp932::Text(texts::kMediumFileNotListed), {file});
    case Kind::Changed:
      return FormatText(cp932::Text(texts::kMediumFileChanged), {file});
    case Kind::Missing:
      return FormatText(cp932::Text(texts::kMediumFileMissing), {file});
    case Kind::Unreadable:
      return FormatText(cp932::Text(texts::kMediumFileUnreadable), {file});
    case Kind::BadKey:
      return FormatText(cp932::Text(texts::kTrustedKeyFaulty), {file});
  }
  return file;
}

}  // namespace tovrin
