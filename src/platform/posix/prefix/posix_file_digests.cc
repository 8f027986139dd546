#include "platform/posix/prefix/posix_file_digests.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "platform/posix/digest/sha256_stream.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/prefix/host_files.h"

namespace brevak::posix {
namespace {

constexpr size_t kChunk = size_t{1} << 20;

}  // namespace

std::optional<std::string> PosixFileDigests::Sha256(const std::u16string& path,
                                                    const std::function<void()>& between_chunks) {
  const std::filesystem::path host = prefix_.ToHost(path);
  if (copied_ != nullptr) {
    if (std::optional<std::string> digest = copied_->Take(host)) return digest;
  }
  FileDescriptor fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok() && errno == ENOENT) return std::nullopt;
  CheckHostCall(fd.ok());
  Sha256Stream digest;
  if (!digest.ok()) throw vb_error::Raise(vb_error::kOutOfMemory);
  std::vector<unsigned char> buffer(kChunk);
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    CheckHostCall(n >= 0);
    if (n == 0) break;
    digest.Add(buffer.data(), static_cast<size_t>(n));
    if (between_chunks) between_chunks();
  }
  std::string hex = digest.HexDigest();
  if (hex.empty()) throw vb_error::Raise(vb_error::kOutOfMemory);
  return hex;
}

}  // namespace brevak::posix
