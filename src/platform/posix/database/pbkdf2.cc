#include "platform/posix/database/pbkdf2.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace brevak::posix {
namespace {

struct MacFree {
  void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};
struct MacContextFree {
  void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};

// Block `index` (from 1): T = U1 ^ U2 ^ ... ^ Uc, where U1 = HMAC(password,
// salt || index as 4 bytes, high byte first) and Uj = HMAC(password, Uj-1).
// Writes the first `size` bytes of T to `out`.
bool Block(const char* digest, const std::string& password, const unsigned char* salt, size_t salt_size,
           int iterations, uint32_t index, unsigned char* out, size_t size) {
  const std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  if (!mac) return false;
  const std::unique_ptr<EVP_MAC_CTX, MacContextFree> hmac(EVP_MAC_CTX_new(mac.get()));
  if (!hmac) return false;
  OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(digest), 0),
                         OSSL_PARAM_construct_end()};
  const unsigned char index_bytes[4] = {static_cast<unsigned char>(index >> 24), static_cast<unsigned char>(index >> 16),
                                        static_cast<unsigned char>(index >> 8), static_cast<unsigned char>(index)};
  unsigned char u[EVP_MAX_MD_SIZE];
  unsigned char t[EVP_MAX_MD_SIZE];
  size_t u_size = 0;
  const auto* key = reinterpret_cast<const unsigned char*>(password.data());
  if (EVP_MAC_init(hmac.get(), key, password.size(), params) != 1 ||
      EVP_MAC_update(hmac.get(), salt, salt_size) != 1 || EVP_MAC_update(hmac.get(), index_bytes, 4) != 1 ||
      EVP_MAC_final(hmac.get(), u, &u_size, sizeof u) != 1 || u_size < size) {
    return false;
  }
  std::memcpy(t, u, u_size);
  for (int j = 1; j < iterations; ++j) {
    // A null key starts the next HMAC with the same key, prepared once.
    if (EVP_MAC_init(hmac.get(), nullptr, 0, nullptr) != 1 || EVP_MAC_update(hmac.get(), u, u_size) != 1 ||
        EVP_MAC_final(hmac.get(), u, &u_size, sizeof u) != 1) {
      return false;
    }
    for (size_t k = 0; k < u_size; ++k) t[k] ^= u[k];
  }
  std::memcpy(out, t, size);
  return true;
}

}  // namespace

bool Pbkdf2(const char* digest, const std::string& password, const unsigned char* salt, size_t salt_size,
            int iterations, unsigned char* key, size_t key_size) {
  const EVP_MD* md = EVP_get_digestbyname(digest);
  if (md == nullptr || iterations < 1) return false;
  const size_t block_size = static_cast<size_t>(EVP_MD_get_size(md));
  const size_t blocks = (key_size + block_size - 1) / block_size;
  std::vector<std::thread> others;
  std::vector<char> done(blocks, 0);  // one element per thread: no two share a write
  const auto derive = [&](size_t b) {
    const size_t size = std::min(block_size, key_size - b * block_size);
    done[b] = Block(digest, password, salt, salt_size, iterations, static_cast<uint32_t>(b + 1),
                    key + b * block_size, size);
  };
  for (size_t b = 1; b < blocks; ++b) {
    try {
      others.emplace_back(derive, b);
    } catch (const std::system_error&) {
      derive(b);  // no thread to be had: here, in turn
    }
  }
  if (blocks > 0) derive(0);
  for (std::thread& other : others) other.join();
  return std::all_of(done.begin(), done.end(), [](char ok) { return ok != 0; });
}

}  // namespace brevak::posix
