#include "engine/minisign.hpp"

#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tovrin {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment:";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";

// The text's lines without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// Exactly `size` bytes from a line of base64, or nullopt.
std::optional<std::vector<std::uint8_t>> Decoded(std::string_view line, std::size_t size) {
  std::vector<std::uint8_t> bytes(size + 1);
  std::size_t length = 0;
  if (sodium_base642bin(bytes.data(), bytes.size(), line.data(), line.size(), nullptr, &length,
                        nullptr, sodium_base64_VARIANT_ORIGINAL) != 0 ||
      length != size) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

bool Initialised() {
  static const bool initialised = sodium_init() >= 0;
  return initialised;
}

}  // namespace

std::optional<MinisignKey> ParseMinisignKey(std::string_view text, std::string& error) {
  const auto lines = Lines(text);
  if (text.size() > kMinisignKeyFileMaxBytes || lines.size() < 2 ||
      !lines[0].starts_with(kUntrustedPrefix)) {
    error = "not a minisign public key file (an untrusted comment, then the key)";
    return std::nullopt;
  }
  const auto bytes = Decoded(lines[1], 2 + 8 + 32);
  if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') {
    error = "its second line is not an Ed25519 key in base64";
    return std::nullopt;
  }
  MinisignKey key;
  std::copy_n(bytes->begin() + 2, 8, key.id.begin());
  std::copy_n(bytes->begin() + 10, 32, key.key.begin());
  return key;
}

std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text, std::string& error) {
  const auto lines = Lines(text);
  if (text.size() > kMinisignSignatureMaxBytes || lines.size() < 4 ||
      !lines[0].starts_with(kUntrustedPrefix) || !lines[2].starts_with(kTrustedPrefix)) {
    error =
        "not a minisign signature (untrusted comment, signature, trusted comment, its signature)";
    return std::nullopt;
  }
  const auto bytes = Decoded(lines[1], 2 + 8 + 64);
  const auto comment = Decoded(lines[3], 64);
  if (!bytes || !comment || (*bytes)[0] != 'E' || ((*bytes)[1] != 'D' && (*bytes)[1] != 'd')) {
    error = "its signature lines are not Ed25519 signatures in base64";
    return std::nullopt;
  }
  MinisignSignature signature;
  signature.prehashed = (*bytes)[1] == 'D';
  std::copy_n(bytes->begin() + 2, 8, signature.keyId.begin());
  std::copy_n(bytes->begin() + 10, 64, signature.signature.begin());
  signature.trustedComment = std::string(lines[2].substr(kTrustedPrefix.size()));
  std::copy(comment->begin(), comment->end(), signature.commentSignature.begin());
  return signature;
}

bool VerifyMinisign(const MinisignKey& key, const MinisignSignature& signature,
                    std::string_view message) {
  if (!Initialised() || key.id != signature.keyId) return false;
  std::array<std::uint8_t, crypto_generichash_BYTES_MAX> prehash{};
  const auto* signedBytes = reinterpret_cast<const unsigned char*>(message.data());
  std::size_t signedSize = message.size();
  if (signature.prehashed) {
    crypto_generichash(prehash.data(), prehash.size(), signedBytes, signedSize, nullptr, 0);
    signedBytes = prehash.data();
    signedSize = prehash.size();
  }
  if (crypto_sign_verify_detached(signature.signature.data(), signedBytes, signedSize,
                                  key.key.data()) != 0) {
    return false;
  }
  // The trusted comment is signed with the signature it follows.
  std::string commented(signature.signature.begin(), signature.signature.end());
  commented += signature.trustedComment;
  return crypto_sign_verify_detached(signature.commentSignature.data(),
                                     reinterpret_cast<const unsigned char*>(commented.data()),
                                     commented.size(), key.key.data()) == 0;
}

std::string KeyIdText(const MinisignKeyId& id) {
  std::string text;
  for (auto byte = id.rbegin(); byte != id.rend(); ++byte) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", *byte);
    text += digits;
  }
  // minisign writes "%" PRIX64: an administrator compares the log with that.
  const std::size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
  return text.substr(first);
}

}  // namespace tovrin
