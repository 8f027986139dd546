#include "platform/posix/prefix/posix_file_digests.h"

#include <errno.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "platform/posix/file_descriptor.h"
#include "platform/posix/prefix/host_files.h"

namespace brevak::posix {
namespace {

constexpr size_t kChunk = size_t{1} << 20;

struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::optional<std::string> PosixFileDigests::Sha256(const std::u16string& path,
                                                    const std::function<void()>& between_chunks) {
  FileDescriptor fd(::open(prefix_.ToHost(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok() && errno == ENOENT) return std::nullopt;
  CheckHostCall(fd.ok());
  const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
    throw vb_error::Raise(vb_error::kOutOfMemory);
  }
  std::vector<unsigned char> buffer(kChunk);
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    CheckHostCall(n >= 0);
    if (n == 0) break;
    EVP_DigestUpdate(context.get(), buffer.data(), static_cast<size_t>(n));
    if (between_chunks) between_chunks();
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(context.get(), digest, &size);
  return DigestHex(digest, size);
}

}  // namespace brevak::posix
