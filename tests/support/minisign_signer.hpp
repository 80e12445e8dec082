#pragma once
// Signing media as a vendor does, with Debian's own sha256sum and minisign:
// a key pair made in a test's folder, a disk's SHA256SUMS and its signature.

#include <filesystem>
#include <string>

namespace tovrin::testing {

struct MinisignKeyPair {
  std::filesystem::path publicKey;
  std::filesystem::path secretKey;
  std::string id;  // as minisign prints it
};

// A new key pair without a password, `name`.pub and `name`.key in `folder`.
MinisignKeyPair GenerateMinisignKey(const std::filesystem::path& folder, const std::string& name);

// SHA256SUMS of every file in `disk` (its folders included), as sha256sum
// writes it with the disk as working folder.
void WriteManifest(const std::filesystem::path& disk);

// SHA256SUMS.minisig of the disk's SHA256SUMS, as it stands, by `key`;
// prehashed, as minisign signs by default, or in its legacy form.
void SignManifest(const std::filesystem::path& disk, const MinisignKeyPair& key,
                  bool legacy = false);

}  // namespace tovrin::testing
