#include "platform/win32/win32_file_digests.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_file.h"

// XP SP3 has both; the headers declare them only for a later target.
#ifndef PROV_RSA_AES
#define PROV_RSA_AES 24
#endif
#ifndef CALG_SHA_256
#define CALG_SHA_256 0x0000800c
#endif

namespace brevak::win32 {
namespace {

constexpr DWORD kChunk = 1 << 20;

class CryptProvider {
 public:
  CryptProvider() {
    if (!CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) provider_ = 0;
  }
  ~CryptProvider() {
    if (provider_ != 0) CryptReleaseContext(provider_, 0);
  }
  CryptProvider(const CryptProvider&) = delete;
  CryptProvider& operator=(const CryptProvider&) = delete;
  HCRYPTPROV get() const { return provider_; }

 private:
  HCRYPTPROV provider_ = 0;
};

class CryptHash {
 public:
  explicit CryptHash(HCRYPTPROV provider) {
    if (provider == 0 || !CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash_)) hash_ = 0;
  }
  ~CryptHash() {
    if (hash_ != 0) CryptDestroyHash(hash_);
  }
  CryptHash(const CryptHash&) = delete;
  CryptHash& operator=(const CryptHash&) = delete;
  HCRYPTHASH get() const { return hash_; }

 private:
  HCRYPTHASH hash_ = 0;
};

// A provider or hash that cannot be had is a failure of this read, not
// of the file: the run-time's "internal error".
void CheckCryptCall(BOOL ok) {
  if (!ok) throw vb_error::Raise(vb_error::kInternalError);
}

}  // namespace

std::optional<std::string> Win32FileDigests::Sha256(const std::u16string& path,
                                                    const std::function<void()>& between_chunks) {
  FileHandle file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.ok() && (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
    return std::nullopt;
  }
  CheckFileCall(file.ok());
  const CryptProvider provider;
  const CryptHash hash(provider.get());
  CheckCryptCall(hash.get() != 0);
  std::vector<BYTE> buffer(kChunk);
  for (;;) {
    DWORD read = 0;
    CheckFileCall(ReadFile(file.get(), buffer.data(), kChunk, &read, nullptr));
    if (read == 0) break;
    CheckCryptCall(CryptHashData(hash.get(), buffer.data(), read, 0));
    if (between_chunks) between_chunks();
  }
  BYTE digest[32];
  DWORD size = sizeof digest;
  CheckCryptCall(CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &size, 0));
  return DigestHex(digest, size);
}

}  // namespace brevak::win32
