#ifndef BREVAK_PLATFORM_POSIX_VERSION_PE_VERSION_READER_H_
#define BREVAK_PLATFORM_POSIX_VERSION_PE_VERSION_READER_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace brevak::posix {

// Random access to the bytes of an executable image.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Copies `length` bytes from `offset` into `out`. False when the range
  // does not lie wholly inside the source or cannot be read.
  virtual bool Read(uint64_t offset, size_t length, uint8_t* out) const = 0;
};

// A ByteSource over bytes held in memory (not owned).
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, size_t length, uint8_t* out) const override;

 private:
  std::span<const uint8_t> bytes_;
};

// The version block (VS_VERSIONINFO) of a PE32 or PE32+ image: the data of
// the first language of the first name under resource type RT_VERSION (16),
// cut to the block's own length. Empty for anything that is not a
// well-formed image carrying such a block: every offset, count and length
// read from the image is checked, so hostile input never reads out of
// bounds, loops or allocates more than one block (at most 64 KiB).
std::optional<std::vector<uint8_t>> ReadVersionBlock(const ByteSource& image);
std::optional<std::vector<uint8_t>> ReadVersionBlock(std::span<const uint8_t> image);

// The same for a file on the host. Empty when the file is missing, is not
// a regular file or cannot be read.
std::optional<std::vector<uint8_t>> ReadVersionBlockFromFile(const std::filesystem::path& path);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_VERSION_PE_VERSION_READER_H_
