#include "platform/posix/version/pe_version_reader.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace brevak::posix {
namespace {

constexpr uint16_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr uint32_t kSubdirectoryFlag = 0x80000000;
constexpr size_t kBlockHeaderSize = 6;  // wLength, wValueLength, wType
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;
constexpr size_t kDataEntrySize = 16;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

// Checks the range before allocating, so a hostile length costs nothing.
bool ReadBytes(const ByteSource& source, uint64_t offset, size_t length, std::vector<uint8_t>* out) {
  if (offset > source.size() || length > source.size() - offset) return false;
  out->assign(length, 0);
  return source.Read(offset, length, out->data());
}

struct Section {
  uint32_t virtual_address;
  uint32_t mapped_size;  // bytes of the section that come from the file
  uint32_t file_offset;
};

// The headers of a PE32 or PE32+ image and reads by relative virtual address.
class PeImage {
 public:
  explicit PeImage(const ByteSource& source) : source_(source) {}

  // Reads the DOS and NT headers and the section table. False when the
  // image is not a PE image or has no resource directory.
  bool ParseHeaders();
  uint32_t resource_rva() const { return resource_rva_; }
  // Reads `length` bytes at `rva`; false unless they lie wholly in the file
  // data of one section.
  bool ReadRva(uint64_t rva, size_t length, std::vector<uint8_t>* out) const;

 private:
  bool ParseOptionalHeader(uint64_t offset, uint16_t size);
  bool ParseSections(uint64_t offset, uint16_t count);

  const ByteSource& source_;
  std::vector<Section> sections_;
  uint32_t resource_rva_ = 0;
};

bool PeImage::ParseHeaders() {
  std::vector<uint8_t> dos;
  if (!ReadBytes(source_, 0, 64, &dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  const uint64_t nt_offset = U32(&dos[0x3C]);
  std::vector<uint8_t> nt;
  if (!ReadBytes(source_, nt_offset, 24, &nt)) return false;
  if (nt[0] != 'P' || nt[1] != 'E' || nt[2] != 0 || nt[3] != 0) return false;
  const uint16_t section_count = U16(&nt[6]);
  const uint16_t optional_size = U16(&nt[20]);
  const uint64_t optional_offset = nt_offset + 24;
  return ParseOptionalHeader(optional_offset, optional_size) &&
         ParseSections(optional_offset + optional_size, section_count);
}

bool PeImage::ParseOptionalHeader(uint64_t offset, uint16_t size) {
  std::vector<uint8_t> header;
  if (size < 2 || !ReadBytes(source_, offset, size, &header)) return false;
  size_t count_at = 0;
  switch (U16(&header[0])) {
    case 0x10B: count_at = 92; break;   // PE32
    case 0x20B: count_at = 108; break;  // PE32+
    default: return false;
  }
  const size_t directories_at = count_at + 4;
  const size_t resource_entry_at = directories_at + 2 * 8;  // data directory 2
  if (resource_entry_at + 8 > header.size() || U32(&header[count_at]) < 3) return false;
  resource_rva_ = U32(&header[resource_entry_at]);
  return resource_rva_ != 0 && U32(&header[resource_entry_at + 4]) != 0;
}

bool PeImage::ParseSections(uint64_t offset, uint16_t count) {
  std::vector<uint8_t> table;
  if (!ReadBytes(source_, offset, size_t{count} * kSectionHeaderSize, &table)) return false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* header = &table[i * kSectionHeaderSize];
    const uint32_t virtual_size = U32(header + 8);
    const uint32_t raw_size = U32(header + 16);
    // The loader maps no more file data than the section's virtual size.
    const uint32_t mapped = virtual_size != 0 ? std::min(virtual_size, raw_size) : raw_size;
    sections_.push_back({U32(header + 12), mapped, U32(header + 20)});
  }
  return true;
}

bool PeImage::ReadRva(uint64_t rva, size_t length, std::vector<uint8_t>* out) const {
  for (const Section& section : sections_) {
    if (rva < section.virtual_address) continue;
    const uint64_t into = rva - section.virtual_address;
    if (into + length > section.mapped_size) continue;
    return ReadBytes(source_, section.file_offset + into, length, out);
  }
  return false;
}

// One step down the resource tree: the entry with `id` (or the first entry
// when `id` is empty) of the directory at `directory` (an offset from the
// resource root). Its offset, when it is of the wanted kind.
std::optional<uint32_t> ChooseEntry(const PeImage& image, uint32_t directory,
                                    std::optional<uint16_t> id, bool want_subdirectory) {
  const uint64_t at = uint64_t{image.resource_rva()} + directory;
  std::vector<uint8_t> header;
  if (!image.ReadRva(at, kDirectoryHeaderSize, &header)) return std::nullopt;
  const size_t named = U16(&header[12]);
  const size_t total = named + U16(&header[14]);
  std::vector<uint8_t> entries;
  if (!image.ReadRva(at + kDirectoryHeaderSize, total * kDirectoryEntrySize, &entries)) return std::nullopt;
  // Named entries come first; entries with a numeric id follow them.
  for (size_t i = id ? named : 0; i < total; ++i) {
    const uint8_t* entry = &entries[i * kDirectoryEntrySize];
    if (id && U32(entry) != *id) continue;
    const uint32_t target = U32(entry + 4);
    if (((target & kSubdirectoryFlag) != 0) != want_subdirectory) return std::nullopt;
    return target & ~kSubdirectoryFlag;
  }
  return std::nullopt;
}

// The resource data that the data entry at `entry` describes, cut to the
// version block's own length.
std::optional<std::vector<uint8_t>> ReadBlock(const PeImage& image, uint32_t entry) {
  std::vector<uint8_t> data_entry;
  if (!image.ReadRva(uint64_t{image.resource_rva()} + entry, kDataEntrySize, &data_entry)) return std::nullopt;
  const uint32_t data_rva = U32(&data_entry[0]);
  const uint32_t data_size = U32(&data_entry[4]);
  std::vector<uint8_t> header;
  if (data_size < kBlockHeaderSize || !image.ReadRva(data_rva, kBlockHeaderSize, &header)) return std::nullopt;
  const uint16_t block_length = U16(&header[0]);
  if (block_length < kBlockHeaderSize || block_length > data_size) return std::nullopt;
  std::vector<uint8_t> block;
  if (!image.ReadRva(data_rva, block_length, &block)) return std::nullopt;
  return block;
}

// Random access to a host file.
class FileByteSource : public ByteSource {
 public:
  FileByteSource(const std::filesystem::path& path, uint64_t size)
      : stream_(path, std::ios::binary), size_(size) {}
  bool is_open() const { return stream_.is_open(); }
  uint64_t size() const override { return size_; }
  bool Read(uint64_t offset, size_t length, uint8_t* out) const override {
    if (offset > size_ || length > size_ - offset) return false;
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(length));
    return stream_.gcount() == static_cast<std::streamsize>(length);
  }

 private:
  mutable std::ifstream stream_;
  uint64_t size_;
};

}  // namespace

bool MemoryByteSource::Read(uint64_t offset, size_t length, uint8_t* out) const {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
  std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), length, out);
  return true;
}

std::optional<std::vector<uint8_t>> ReadVersionBlock(const ByteSource& source) {
  PeImage image(source);
  if (!image.ParseHeaders()) return std::nullopt;
  // The tree has exactly three levels (type, name, language); walking
  // exactly three steps cannot loop, whatever the offsets say.
  const auto names = ChooseEntry(image, 0, kResourceTypeVersion, true);
  if (!names) return std::nullopt;
  const auto languages = ChooseEntry(image, *names, std::nullopt, true);
  if (!languages) return std::nullopt;
  const auto data = ChooseEntry(image, *languages, std::nullopt, false);
  if (!data) return std::nullopt;
  return ReadBlock(image, *data);
}

std::optional<std::vector<uint8_t>> ReadVersionBlock(std::span<const uint8_t> image) {
  return ReadVersionBlock(MemoryByteSource(image));
}

std::optional<std::vector<uint8_t>> ReadVersionBlockFromFile(const std::filesystem::path& path) {
  // Only regular files: opening a FIFO or a device could block or never end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  const uint64_t size = std::filesystem::file_size(path, ec);
  if (ec) return std::nullopt;
  FileByteSource source(path, size);
  if (!source.is_open()) return std::nullopt;
  return ReadVersionBlock(source);
}

}  // namespace brevak::posix
