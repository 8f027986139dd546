// The key derivation whose blocks run side by side gives libcrypto's
// PBKDF2 byte for byte: for keys of one block, of several, and of a part
// of a block, with each digest SQLCipher may use; and the published
// vectors of PBKDF2 with HMAC-SHA1.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "platform/posix/database/pbkdf2.h"

namespace brevak::posix {
namespace {

std::string Hex(const std::vector<unsigned char>& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) hex += {kHex[byte >> 4], kHex[byte & 0xf]};
  return hex;
}

std::vector<unsigned char> Derived(const char* digest, const std::string& password, const std::string& salt,
                                   int iterations, size_t size) {
  std::vector<unsigned char> key(size);
  const auto* salt_bytes = reinterpret_cast<const unsigned char*>(salt.data());
  EXPECT_TRUE(Pbkdf2(digest, password, salt_bytes, salt.size(), iterations, key.data(), key.size()));
  return key;
}

TEST(Pbkdf2Test, GivesLibcryptosKeyForEveryDigestAndLength) {
  struct Case {
    const char* digest;
    const EVP_MD* md;
    size_t size;
  };
  const Case cases[] = {
      {"SHA1", EVP_sha1(), 32},     {"SHA1", EVP_sha1(), 20},     {"SHA1", EVP_sha1(), 7},
      {"SHA1", EVP_sha1(), 64},     {"SHA256", EVP_sha256(), 32}, {"SHA256", EVP_sha256(), 80},
      {"SHA512", EVP_sha512(), 32}, {"SHA512", EVP_sha512(), 130},
  };
  const std::string password = "mqzvtw";
  const std::string salt("\x01\x00\xfe salt of sixteen", 16);
  for (const Case& c : cases) {
    std::vector<unsigned char> expected(c.size);
    ASSERT_EQ(PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                                reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                                1000, c.md, static_cast<int>(c.size), expected.data()),
              1);
    EXPECT_EQ(Hex(Derived(c.digest, password, salt, 1000, c.size)), Hex(expected)) << c.digest << " " << c.size;
  }
}

TEST(Pbkdf2Test, PublishedSha1Vectors) {
  struct Case {
    std::string password;
    std::string salt;
    int iterations;
    size_t size;
    const char* key;
  };
  const Case cases[] = {
      {"password", "salt", 1, 20, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
      {"password", "salt", 2, 20, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
      {"password", "salt", 4096, 20, "4b007901b765489abead49d926f721d065a429c1"},
      {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25,
       "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
      {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, 16, "56fa6aa75548099dcc37d7f03425e0c3"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(Derived("SHA1", c.password, c.salt, c.iterations, c.size)), c.key) << c.key;
}

TEST(Pbkdf2Test, RefusesWhatItCannotDerive) {
  unsigned char key[32];
  const unsigned char salt[16] = {};
  EXPECT_FALSE(Pbkdf2("NO-SUCH-DIGEST", "p", salt, sizeof salt, 10, key, sizeof key));
  EXPECT_FALSE(Pbkdf2("SHA1", "p", salt, sizeof salt, 0, key, sizeof key));
}

}  // namespace
}  // namespace brevak::posix
