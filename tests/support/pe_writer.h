#ifndef BREVAK_TESTS_SUPPORT_PE_WRITER_H_
#define BREVAK_TESTS_SUPPORT_PE_WRITER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Writes minimal PE images carrying a version resource, for shapes that a
// resource compiler will not make (and for PE32+, which the i686 toolchain
// cannot link). Blocks are laid out as windres lays them out.
namespace brevak::testing {

struct VersionStringTable {
  std::u16string key;  // e.g. u"080404B0"
  std::vector<std::pair<std::u16string, std::u16string>> values;  // name, text
};

struct VersionResource {
  std::array<uint16_t, 4> file_version{1, 0, 0, 0};
  std::array<uint16_t, 4> product_version{1, 0, 0, 0};
  std::vector<VersionStringTable> string_tables;
  // (language, code page) entries of VarFileInfo\Translation; without a
  // value there is no VarFileInfo block at all.
  std::optional<std::vector<std::pair<uint16_t, uint16_t>>> translations;
};

// The VS_VERSIONINFO block for `resource`.
std::vector<uint8_t> BuildVersionBlock(const VersionResource& resource);

enum class PeFormat { kPe32, kPe32Plus };

// Where the writer puts things, for tests that damage an image on purpose.
struct PeLayout {
  static constexpr size_t kNtHeadersOffset = 0x40;
  static constexpr size_t kResourceFileOffset = 0x200;  // the .rsrc section
  static constexpr uint32_t kResourceRva = 0x1000;
  // Offsets inside .rsrc: the type, name and language directories (each
  // with one entry right after its 16-byte header), the data entry and the
  // block.
  static constexpr size_t kTypeDirectory = 0;
  static constexpr size_t kNameDirectory = 24;
  static constexpr size_t kLanguageDirectory = 48;
  static constexpr size_t kDataEntry = 72;
  static constexpr size_t kBlock = 88;
};

// A PE image whose resources are one RT_VERSION resource (name 1,
// `language`) holding `block`; without a block the image has no resources.
std::vector<uint8_t> BuildPe(PeFormat format, const std::optional<std::vector<uint8_t>>& block,
                             uint16_t language = 0x0804);

void WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBinaryFile(const std::filesystem::path& path);

// Little-endian stores, for patching images in tests.
void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);
void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_PE_WRITER_H_
