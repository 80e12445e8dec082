#include <sodium.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tovrin {
namespace {

std::vector<unsigned char> Bytes(const std::string& hex) {
  // An empty vector's data() is null, which the decoder must not be given.
  if (hex.empty()) return {};
  std::vector<unsigned char> bytes(hex.size() / 2);
  size_t length = 0;
  EXPECT_EQ(
      sodium_hex2bin(bytes.data(), bytes.size(), hex.data(), hex.size(), nullptr, &length, nullptr),
      0);
  bytes.resize(length);
  return bytes;
}

struct Vector {
  const char* seed;
  const char* public_key;
  const char* message;
  const char* signature;
};

// RFC 8032, 7.1: TEST 1, TEST 2 and TEST 3.
constexpr std::array<Vector, 3> kRfc8032Vectors{{
    {"9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
     "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
     "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b"
     "46bd25bf5f0595bbe24655141438e7a100b"},
    {"4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
     "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "72",
     "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f11"
     "d8c387b2eaeb4302aeeb00d291612bb0c00"},
    {"c5aa8df43f9f837bedb7442f31dcb7b166d38535076f094b85ce3a2e0b4458f7",
     "fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025", "af82",
     "6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac18ff9b538d16f290ae67f760984dc"
     "6594a7c15e9716ed28dc027beceea1ec40a"},
}};

TEST(Ed25519KnownAnswers, SignsAsTheRfcAndVerifiesOnlyTheUnchangedBytes) {
  ASSERT_GE(sodium_init(), 0);
  for (const Vector& vector : kRfc8032Vectors) {
    SCOPED_TRACE(vector.public_key);
    const auto seed = Bytes(vector.seed);
    auto public_key = Bytes(vector.public_key);
    auto message = Bytes(vector.message);
    auto signature = Bytes(vector.signature);
    ASSERT_EQ(signature.size(), crypto_sign_BYTES);

    std::vector<unsigned char> derived_key(crypto_sign_PUBLICKEYBYTES),
        secret_key(crypto_sign_SECRETKEYBYTES);
    ASSERT_EQ(crypto_sign_seed_keypair(derived_key.data(), secret_key.data(), seed.data()), 0);
    EXPECT_EQ(derived_key, public_key);
    std::vector<unsigned char> made(crypto_sign_BYTES);
    ASSERT_EQ(crypto_sign_detached(made.data(), nullptr, message.data(), message.size(),
                                   secret_key.data()),
              0);
    EXPECT_EQ(made, signature);

    const auto verifies = [&] {
      return crypto_sign_verify_detached(signature.data(), message.data(), message.size(),
                                         public_key.data()) == 0;
    };
    EXPECT_TRUE(verifies());
    // One flipped bit in R, in S, in the key or in the message is refused.
    struct Place {
      const char* name;
      unsigned char* byte;
    };
    for (const auto& [name, byte] :
         {Place{"R", &signature.front()}, Place{"S", &signature.back()},
          Place{"key", &public_key[7]},
          Place{"message", message.empty() ? nullptr : &message.back()}}) {
      if (byte == nullptr) continue;
      *byte ^= 0x01;
      EXPECT_FALSE(verifies()) << "a bit flipped in " << name;
      *byte ^= 0x01;
    }
    EXPECT_TRUE(verifies());
  }
}

}  // namespace
}  // namespace tovrin
