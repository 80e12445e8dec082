#pragma once
// The keys a product trusts, and what one disk of the medium says of
// itself: the SHA256SUMS of its files and who signed it
// (SHA256SUMS.minisig). A disk the policy cannot accept gives the file and
// what is wrong with it.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "description/sha256_manifest.hpp"
#include "engine/minisign.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

inline constexpr const char* kManifestName = "SHA256SUMS";
inline constexpr const char* kManifestSignatureName = "SHA256SUMS.minisig";
// In the product folder: a vendor ships its public keys there as *.pub.
inline constexpr const char* kTrustedKeysFolder = "trusted-keys";

struct TrustedKeys {
  std::vector<MinisignKey> keys;
  bool signatureRequired = false;  // --require-signature
  bool Required() const { return signatureRequired || !keys.empty(); }
};

struct MediumDistrust {
  enum class Kind {
    NotSigned,
    UnknownKey,
    BadSignature,
    BadManifest,
    NotListed,
    Changed,
    Missing,
    Unreadable,
    BadKey
  };
  Kind kind = Kind::NotSigned;
  std::string file;    // a Windows path
  std::string detail;  // the key id, the manifest's line, or why in English
};

struct DiskSignature {
  std::optional<Sha256Manifest> manifest;  // none: the disk lists nothing
  std::optional<std::string> signer;       // the key id of its signature
  bool trusted = false;                    // verified by a trusted key
};

// The disk whose root is `diskRoot` (a medium folder: ends in '\' or ':').
std::variant<DiskSignature, MediumDistrust> ReadDiskSignature(FileSystem& files,
                                                              const std::string& diskRoot,
                                                              const TrustedKeys& trusted);

// Adds every *.pub of the product folder's trusted-keys folder; a key file
// that is none refuses the medium rather than trusting one key less.
std::optional<MediumDistrust> AddProductKeys(FileSystem& files, const std::string& productFolder,
                                             TrustedKeys& trusted);

// What the log and the reports say of a disk's signature, in English.
std::string SignatureFinding(const std::optional<std::string>& signer, bool trusted);

// What a distrust means: in English for the log, and the box's CP932 text.
std::string DistrustFinding(const MediumDistrust& distrust);
std::string DistrustText(const MediumDistrust& distrust);

}  // namespace tovrin
