#ifndef BREVAK_PLATFORM_POSIX_DATABASE_PBKDF2_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_PBKDF2_H_

#include <cstddef>
#include <string>

namespace brevak::posix {

// PBKDF2 with HMAC over the digest named `digest` ("SHA1", "SHA256",
// "SHA512"), as libcrypto's PKCS5_PBKDF2_HMAC gives it. The key is a row
// of blocks the size of the digest, each derived on its own, so a key
// longer than one block (SQLCipher 3's 32 bytes from SHA-1: two) takes
// each block after the first on a thread of its own: on two cores, the
// time of one block. False when libcrypto fails.
bool Pbkdf2(const char* digest, const std::string& password, const unsigned char* salt, size_t salt_size,
            int iterations, unsigned char* key, size_t key_size);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_PBKDF2_H_
