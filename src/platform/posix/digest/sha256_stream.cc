#include "platform/posix/digest/sha256_stream.h"

#include <openssl/evp.h>

#include "platform/file_digests.h"

namespace brevak::posix {

void Sha256Stream::ContextFree::operator()(evp_md_ctx_st* context) const { EVP_MD_CTX_free(context); }

Sha256Stream::Sha256Stream() : context_(EVP_MD_CTX_new()) {
  ok_ = context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
}

Sha256Stream::~Sha256Stream() = default;

void Sha256Stream::Add(const void* bytes, size_t size) {
  if (ok_) ok_ = EVP_DigestUpdate(context_.get(), bytes, size) == 1;
}

std::string Sha256Stream::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!ok_ || EVP_DigestFinal_ex(context_.get(), digest, &size) != 1) return "";
  ok_ = false;
  return DigestHex(digest, size);
}

}  // namespace brevak::posix
