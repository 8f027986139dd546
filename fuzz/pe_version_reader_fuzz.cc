// libFuzzer target: the PE version-resource reader, the version-block lookup
// and the 8-bit queries on a caller's block buffer, fed untrusted bytes.
// Built and run by scripts/fuzz-pe.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/version/pe_version_reader.h"
#include "platform/posix/version/posix_version_info.h"
#include "platform/posix/version/version_block.h"

namespace {
using namespace brevak::posix;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The key of the first translation entry, as the tool builds it.
std::string FirstEntryKey(std::span<const uint8_t> block) {
  const auto table = FindBlockValue(block, u"\\VarFileInfo\\Translation");
  if (!table || table->size < 4) return "00000000";
  const uint8_t* entry = block.data() + table->offset;
  const uint32_t key = (uint32_t{entry[0]} | uint32_t{entry[1]} << 8) << 16 |
                       uint32_t{entry[2]} | uint32_t{entry[3]} << 8;
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(8, '0');
  for (int i = 0; i < 8; ++i) text[7 - i] = kDigits[(key >> (4 * i)) & 0xF];
  return text;
}

std::vector<std::string> Paths(std::span<const uint8_t> block) {
  const std::string table = "\\StringFileInfo\\" + FirstEntryKey(block) + "\\";
  return {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo", "\\\\stringfileinfo\\\\",
          table + "FileVersion", table + "CompanyName", table + "FileDescription"};
}

// Lookups straight on the block: every value lies inside it.
void LookUpInBlock(std::span<const uint8_t> block) {
  for (const std::string& path : Paths(block)) {
    const auto value = FindBlockValue(block, std::u16string(path.begin(), path.end()));
    if (!value) continue;
    Require(value->offset <= block.size() && value->size <= block.size() - value->offset);
    if (value->is_text) Require(BlockTextUnits(block, *value).size() * 2 <= value->size);
  }
}

// Queries through the caller's block buffer: values and texts stay inside it.
void QueryBuffer(std::span<const uint8_t> block) {
  static IconvCodePage code_page;
  static const WinePrefix prefix("/nonexistent");
  static PosixVersionInfo info(prefix, code_page);
  std::vector<uint8_t> buffer(PosixVersionInfo::BufferSize(block.size()));
  PosixVersionInfo::FillBlockBuffer(block, buffer.data());
  for (const std::string& path : Paths(block)) {
    const void* value = nullptr;
    uint32_t length = 0;
    if (info.VerQueryValueA(buffer.data(), path, &value, &length) == 0) continue;
    const auto* start = static_cast<const uint8_t*>(value);
    Require(start >= buffer.data() && start + length <= buffer.data() + buffer.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  if (const auto block = ReadVersionBlock(input)) {
    Require(block->size() >= 6 && (block->at(0) | block->at(1) << 8) == static_cast<int>(block->size()));
    LookUpInBlock(*block);
    QueryBuffer(*block);
  }
  // The input taken as a version block itself, its length set to its size.
  if (size >= 6 && size <= 0xFFFF) {
    std::vector<uint8_t> block(data, data + size);
    block[0] = static_cast<uint8_t>(size);
    block[1] = static_cast<uint8_t>(size >> 8);
    QueryBuffer(block);
  }
  LookUpInBlock(input);
  return 0;
}
