#ifndef BREVAK_PLATFORM_FILE_DIGESTS_H_
#define BREVAK_PLATFORM_FILE_DIGESTS_H_

#include <functional>
#include <optional>
#include <string>

namespace brevak {

// What identifies a file by its contents: its SHA-256, read in chunks.
class FileDigests {
 public:
  FileDigests() = default;
  FileDigests(const FileDigests&) = delete;
  FileDigests& operator=(const FileDigests&) = delete;
  virtual ~FileDigests() = default;

  // The SHA-256 of the file at `path` (a Windows path) as 64 lower-case hex
  // digits, or nothing when there is no such file. `between_chunks` runs
  // after each chunk read, so that the caller's window keeps answering.
  // Raises a RunTimeError when the file cannot be read whole.
  virtual std::optional<std::string> Sha256(const std::u16string& path,
                                            const std::function<void()>& between_chunks) = 0;
};

// 64 lower-case hex digits of a 32-byte digest.
std::string DigestHex(const unsigned char* digest, size_t size);

}  // namespace brevak

#endif  // BREVAK_PLATFORM_FILE_DIGESTS_H_
