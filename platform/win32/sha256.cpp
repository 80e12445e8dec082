#include "platform/sha256.hpp"

#include <stdexcept>

#include "platform/win32/windows_api.hpp"

#include <bcrypt.h>

namespace tovrin {
namespace {

void Check(::NTSTATUS status) {
  // Only a broken system fails these, with its own provider and a buffer of
  // the size it asked for.
  if (status < 0) throw std::runtime_error("the system's SHA-256 failed");
}

}  // namespace

struct Sha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~State() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  Check(BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
  Check(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* bytes, std::size_t count) {
  Check(BCryptHashData(state_->hash, static_cast<::PUCHAR>(const_cast<void*>(bytes)),
                       static_cast<::ULONG>(count), 0));
}

Sha256::Hash Sha256::Finish() {
  Hash hash;
  Check(BCryptFinishHash(state_->hash, hash.data(), static_cast<::ULONG>(hash.size()), 0));
  return hash;
}

}  // namespace tovrin
