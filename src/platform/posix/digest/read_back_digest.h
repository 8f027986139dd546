#ifndef BREVAK_PLATFORM_POSIX_DIGEST_READ_BACK_DIGEST_H_
#define BREVAK_PLATFORM_POSIX_DIGEST_READ_BACK_DIGEST_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/posix/digest/sha256_stream.h"
#include "platform/posix/file_descriptor.h"

namespace brevak::posix {

// The SHA-256 of a file as it is being written, read back on a thread of
// its own: each part is read as soon as the writer says it is there, so
// the digest is ready a part after the last write instead of a whole
// second reading later. What is hashed is what the file holds, not what
// the writer meant to put there.
class ReadBackDigest {
 public:
  // Opens `file` for reading; nothing is read before Written says so.
  explicit ReadBackDigest(const std::filesystem::path& file);
  // Stops the reading without a digest when Finish was not called.
  ~ReadBackDigest();
  ReadBackDigest(const ReadBackDigest&) = delete;
  ReadBackDigest& operator=(const ReadBackDigest&) = delete;

  // The file's first `bytes` are written.
  void Written(uint64_t bytes);
  // Nothing more will be written; the reading goes on to the end of what
  // Written announced.
  void WritesEnded();
  // Waits for the reading to end after WritesEnded and gives the digest of
  // all that Written announced, or nothing when the file could not be
  // read back.
  std::optional<std::string> Finish();

 private:
  void Read();

  FileDescriptor file_;
  Sha256Stream digest_;
  std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t written_ = 0;   // under mutex_
  bool finishing_ = false; // under mutex_: no more writes
  std::atomic<bool> stopping_{false};  // no digest wanted: the reading stops at once
  bool failed_ = false;    // set by the reader; read after it has ended
  std::thread reader_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DIGEST_READ_BACK_DIGEST_H_
