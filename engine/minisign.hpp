#pragma once
// minisign's public keys and detached signatures, read from their text files
// and checked with libsodium: the prehashed form ("ED", BLAKE2b-512 of the
// file signed) and the legacy one ("Ed", the file itself), each with the
// signature over its trusted comment.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

using MinisignKeyId = std::array<std::uint8_t, 8>;

inline constexpr std::size_t kMinisignKeyFileMaxBytes = 4096;
inline constexpr std::size_t kMinisignSignatureMaxBytes = 16384;

struct MinisignKey {
  MinisignKeyId id{};
  std::array<std::uint8_t, 32> key{};
};

struct MinisignSignature {
  bool prehashed = true;
  MinisignKeyId keyId{};
  std::array<std::uint8_t, 64> signature{};
  std::string trustedComment;
  std::array<std::uint8_t, 64> commentSignature{};
};

// Nullopt, with `error` in English, for a text that is not one.
std::optional<MinisignKey> ParseMinisignKey(std::string_view text, std::string& error);
std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text, std::string& error);

// Whether `key` made `signature` over `message` and its trusted comment.
bool VerifyMinisign(const MinisignKey& key, const MinisignSignature& signature,
                    std::string_view message);

// The key id as minisign prints it in a key's comment: a little-endian
// number in upper-case hexadecimal, without leading zeros.
std::string KeyIdText(const MinisignKeyId& id);

}  // namespace tovrin
