// The key derivation whose blocks run side by side gives libcrypto's
// PBKDF2 byte for byte: for keys of one block, of several, and of a part
// of a block, with each digest SQLCipher may use.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "platform/posix/database/pbkdf2.h"

namespace brevak::posix {
namespace {

TEST(Pbkdf2Test, GivesLibcryptosKeyForEveryDigestAndLength) {
  struct Case { const char* digest; const EVP_MD* md; size_t size; };
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
    std::vector<unsigned char> key(c.size);
    EXPECT_TRUE(Pbkdf2(c.digest, password, reinterpret_cast<const unsigned char*>(salt.data()), salt.size(), 1000,
                       key.data(), key.size()));
    EXPECT_EQ(key, expected) << c.digest << " " << c.size;
  }
}

TEST(Pbkdf2Test, RefusesWhatItCannotDerive) {
  unsigned char key[32];
  const unsigned char salt[16] = {};
  EXPECT_FALSE(Pbkdf2("NO-SUCH-DIGEST", "p", salt, sizeof salt, 10, key, sizeof key));
  EXPECT_FALSE(Pbkdf2("SHA1", "p", salt, sizeof salt, 0, key, sizeof key));
}

}  // namespace
}  // namespace brevak::posix
