#pragma once
// SHA-256 over bytes given in pieces, from the system's own library where
// it has one (nettle on Linux, BCrypt on Windows).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tovrin {

class Sha256 {
 public:
  using Hash = std::array<std::uint8_t, 32>;

  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* bytes, std::size_t count);
  // The hash of everything given; the object is spent.
  Hash Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tovrin
