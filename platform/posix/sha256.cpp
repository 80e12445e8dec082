#include <nettle/sha2.h>

#include "platform/sha256.hpp"

namespace tovrin {

struct Sha256::State {
  sha256_ctx context;
};

Sha256::Sha256() : state_(std::make_unique<State>()) { sha256_init(&state_->context); }

Sha256::~Sha256() = default;

void Sha256::Update(const void* bytes, std::size_t count) {
  sha256_update(&state_->context, count, static_cast<const std::uint8_t*>(bytes));
}

Sha256::Hash Sha256::Finish() {
  Hash hash;
  sha256_digest(&state_->context, hash.size(), hash.data());
  return hash;
}

}  // namespace tovrin
