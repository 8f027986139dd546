#include "platform/posix/version/posix_version_info.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/version/language_names.h"
#include "platform/posix/version/pe_version_reader.h"
#include "platform/posix/version/version_block.h"

namespace brevak::posix {
namespace {

constexpr char kMark[4] = {'F', 'E', '2', 'X'};
constexpr size_t kBlockHeaderSize = 6;

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }
size_t MarkOffset(size_t block_length) { return Align4(block_length); }
size_t AnsiAreaOffset(size_t block_length) { return Align4(block_length) + 4; }
size_t AnsiAreaSize(size_t block_length) { return Align4(block_length) + 4; }

// The longest prefix of GBK `text` of at most `limit` bytes that does not
// split a character: a byte from 0x81 to 0xFE starts a two-byte character.
size_t WholeCharacters(const std::string& text, size_t limit) {
  size_t at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const size_t width = (byte >= 0x81 && byte <= 0xFE) ? 2 : 1;
    if (at + width > limit) break;
    at += width;
  }
  return std::min(at, text.size());
}

}  // namespace

PosixVersionInfo::PosixVersionInfo(const WinePrefix& prefix, CodePage& code_page)
    : prefix_(prefix), code_page_(code_page) {}

uint32_t PosixVersionInfo::BufferSize(size_t block_length) {
  return static_cast<uint32_t>(AnsiAreaOffset(block_length) + AnsiAreaSize(block_length));
}

std::filesystem::path PosixVersionInfo::HostPath(const std::string& path) {
  return prefix_.ToHost(code_page_.FromAnsi(path));
}

uint32_t PosixVersionInfo::GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  if (handle != nullptr) *handle = 0;
  const auto block = ReadVersionBlockFromFile(HostPath(path));
  return block ? BufferSize(block->size()) : 0;
}

int32_t PosixVersionInfo::GetFileVersionInfoA(const std::string& path, uint32_t /*handle*/,
                                              uint32_t length, void* data) {
  const auto block = ReadVersionBlockFromFile(HostPath(path));
  // The file may have changed since its size was asked: check again.
  if (!block || data == nullptr || length < BufferSize(block->size())) return 0;
  FillBlockBuffer(*block, static_cast<uint8_t*>(data));
  return 1;
}

void PosixVersionInfo::FillBlockBuffer(std::span<const uint8_t> block, uint8_t* buffer) {
  std::fill_n(buffer, BufferSize(block.size()), uint8_t{0});
  std::copy(block.begin(), block.end(), buffer);
  std::memcpy(buffer + MarkOffset(block.size()), kMark, sizeof kMark);
}

int32_t PosixVersionInfo::VerQueryValueA(const void* block, const std::string& sub_block,
                                         const void** buffer, uint32_t* length) {
  if (length != nullptr) *length = 0;
  if (block == nullptr || buffer == nullptr) return 0;
  // The 8-bit area belongs to the caller's buffer; writing it is part of
  // the query, as with version.dll.
  auto* bytes = static_cast<uint8_t*>(const_cast<void*>(block));
  const size_t block_length = bytes[0] | bytes[1] << 8;
  if (block_length < kBlockHeaderSize) return 0;
  if (std::memcmp(bytes + MarkOffset(block_length), kMark, sizeof kMark) != 0) return 0;
  const std::span<const uint8_t> raw(bytes, block_length);
  const auto value = FindBlockValue(raw, code_page_.FromAnsi(sub_block));
  if (!value) return 0;
  if (!value->is_text) {
    *buffer = bytes + value->offset;
    if (length != nullptr) *length = static_cast<uint32_t>(value->size);
    return 1;
  }
  const std::string text = code_page_.ToAnsi(BlockTextUnits(raw, *value));
  uint8_t* area = bytes + AnsiAreaOffset(block_length);
  uint8_t* out = area + value->offset;
  const size_t room = AnsiAreaSize(block_length) - value->offset - 1;  // keep one byte for a NUL
  const size_t copied = std::min(text.size(), room);
  std::memcpy(out, text.data(), copied);
  out[copied] = 0;
  *buffer = out;
  if (length != nullptr) *length = static_cast<uint32_t>(copied);
  return 1;
}

uint32_t PosixVersionInfo::VerLanguageNameA(uint32_t language, char* name, uint32_t size) {
  const std::string text = code_page_.ToAnsi(std::u16string(LanguageName(language)));
  if (name != nullptr && size > 0) {
    const size_t copied = WholeCharacters(text, size - 1);
    std::memcpy(name, text.data(), copied);
    name[copied] = '\0';
  }
  return static_cast<uint32_t>(text.size());
}

}  // namespace brevak::posix
