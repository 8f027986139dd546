#include "platform/posix/digest/read_back_digest.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace brevak::posix {
namespace {

constexpr size_t kReadBytes = size_t{256} << 10;

}  // namespace

ReadBackDigest::ReadBackDigest(const std::filesystem::path& file)
    : file_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
  failed_ = !file_.ok() || !digest_.ok();
  if (!failed_) reader_ = std::thread([this] { Read(); });
}

ReadBackDigest::~ReadBackDigest() {
  if (!reader_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_one();
  reader_.join();
}

void ReadBackDigest::Written(uint64_t bytes) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    written_ = std::max(written_, bytes);
  }
  changed_.notify_one();
}

void ReadBackDigest::WritesEnded() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
  }
  changed_.notify_one();
}

std::optional<std::string> ReadBackDigest::Finish() {
  WritesEnded();
  if (reader_.joinable()) reader_.join();
  if (failed_) return std::nullopt;
  std::string digest = digest_.HexDigest();
  if (digest.empty()) return std::nullopt;
  return digest;
}

// Reads up to what is written, waits for more, and ends when the writer
// has finished and everything is read, or when no digest is wanted.
void ReadBackDigest::Read() {
  std::vector<unsigned char> buffer(kReadBytes);
  uint64_t read = 0;
  for (;;) {
    uint64_t target = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || finishing_ || written_ > read; });
      if (stopping_ || (finishing_ && written_ == read)) return;
      target = written_;
    }
    while (read < target && !stopping_) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), target - read));
      const ssize_t got = ::pread(file_.get(), buffer.data(), want, static_cast<off_t>(read));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        failed_ = true;
        return;
      }
      digest_.Add(buffer.data(), static_cast<size_t>(got));
      read += static_cast<uint64_t>(got);
    }
  }
}

}  // namespace brevak::posix
