#ifndef BREVAK_PLATFORM_POSIX_DIGEST_SHA256_STREAM_H_
#define BREVAK_PLATFORM_POSIX_DIGEST_SHA256_STREAM_H_

#include <cstddef>
#include <memory>
#include <string>

struct evp_md_ctx_st;

namespace brevak::posix {

// SHA-256 through libcrypto over bytes given piece by piece.
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;

  // False when libcrypto could not start the digest (no memory).
  bool ok() const { return ok_; }
  void Add(const void* bytes, size_t size);
  // 64 lower-case hex digits of everything added; ends the stream.
  std::string HexDigest();

 private:
  struct ContextFree {
    void operator()(evp_md_ctx_st* context) const;
  };
  std::unique_ptr<evp_md_ctx_st, ContextFree> context_;
  bool ok_ = false;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DIGEST_SHA256_STREAM_H_
