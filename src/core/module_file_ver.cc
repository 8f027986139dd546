#include "core/module_file_ver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/vb_text.h"

namespace brevak {
namespace {

constexpr size_t kTranslationAreaSize = 261;
constexpr int32_t kLanguageNameBufferSize = 260;
constexpr uint32_t kLanguageNameSizeTold = 255;
constexpr size_t kValueBufferSize = 260;

const char16_t* const kValueNames[5] = {u"FileVersion", u"InternalName", u"CompanyName",
                                        u"LegalCopyright", u"FileDescription"};

// The block buffer, zero-filled. Memory the system cannot give is the
// run-time's out-of-memory error.
std::vector<uint8_t> MakeBlockBuffer(int32_t size) {
  try {
    return std::vector<uint8_t>(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    throw vb_error::Raise(vb_error::kOutOfMemory);
  }
}

using TranslationArea = std::array<uint8_t, kTranslationAreaSize>;

// The translation area, zero-filled, with the table copied in. Only the
// first entry is used, so a table longer than the area (more than 65
// entries) is cut to it rather than written past it.
TranslationArea CopyTranslationTable(const void* table, uint32_t length) {
  TranslationArea area{};
  if (table != nullptr) std::memcpy(area.data(), table, std::min<size_t>(length, area.size()));
  return area;
}

// The language-name buffer of 260 spaces, of which the platform is told 255,
// as text up to its NUL. Untouched, it is 260 spaces.
std::u16string LanguageName(Platform& platform, uint32_t language) {
  std::string name(kLanguageNameBufferSize, ' ');
  platform.version_info->VerLanguageNameA(language, name.data(), kLanguageNameSizeTold);
  return StripNull(platform.code_page->FromAnsi(name));
}

// The string-table key: language * 0x10000 + code page in upper-case hex,
// "0" put in front up to eight digits. The sum is unsigned 32-bit, so a
// language or code page of 0x8000 and above (code page 65001 is 0xFDE9)
// gives its key like any other.
std::u16string StringTableKey(uint32_t language, uint32_t code_page) {
  std::u16string key = vb::Hex(language * 0x10000u + code_page);
  while (vb::Len(key) < 8) key = u"0" + key;
  return key;
}

// The length of the longest start of NUL-ended GBK `text` that fits in
// `limit` bytes without splitting a character (a byte from 0x81 to 0xFE
// starts a two-byte one). Reads no byte past the NUL or the limit.
size_t WholeCharacters(const char* text, size_t limit) {
  size_t fit = 0;
  while (fit < limit && text[fit] != '\0') {
    const auto byte = static_cast<unsigned char>(text[fit]);
    const size_t width = (byte >= 0x81 && byte <= 0xFE) ? 2 : 1;
    if (fit + width > limit) break;
    // A lead byte just before the NUL is copied alone, as lstrcpyA would.
    fit += (width == 2 && text[fit + 1] == '\0') ? 1 : width;
  }
  return fit;
}

// What lstrcpyA puts into the value buffer: the value with its NUL over the
// buffer's spaces. A value longer than the buffer's 259 bytes and NUL is cut
// to the whole characters that fit, so it never runs past the buffer.
std::string CopyValue(const char* value) {
  std::string buffer(kValueBufferSize, ' ');
  const size_t length = WholeCharacters(value, kValueBufferSize - 1);
  std::memcpy(buffer.data(), value, length);
  buffer[length] = '\0';
  return buffer;
}

// Step 10 for one value: its text under the key, or the empty text.
std::u16string QueryValue(Platform& platform, const std::vector<uint8_t>& block,
                          const std::u16string& key, const std::u16string& name) {
  const std::u16string sub_block = u"\\StringFileInfo\\" + key + u"\\" + name;
  const void* pointer = nullptr;
  uint32_t length = 0;
  if (platform.version_info->VerQueryValueA(block.data(), platform.code_page->ToAnsi(sub_block),
                                            &pointer, &length) == 0 ||
      pointer == nullptr) {
    return u"";
  }
  return StripNull(platform.code_page->FromAnsi(CopyValue(static_cast<const char*>(pointer))));
}

}  // namespace

VersionRecord GetFileVer(Platform& platform, const std::u16string& path) {
  VersionInfo& version = *platform.version_info;
  const std::string ansi_path = platform.code_page->ToAnsi(path);
  // 1. Six empty texts.
  VersionRecord record;
  // 2. The size of the version block; none below 1.
  uint32_t handle = 0;
  const auto size = static_cast<int32_t>(version.GetFileVersionInfoSizeA(ansi_path, &handle));
  if (size < 1) return record;
  // 3. The block, read into a zero-filled buffer.
  std::vector<uint8_t> block = MakeBlockBuffer(size);
  if (version.GetFileVersionInfoA(ansi_path, 0, static_cast<uint32_t>(size), block.data()) == 0) {
    return record;
  }
  // 4. The translation table.
  const void* table = nullptr;
  uint32_t table_length = 0;
  if (version.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table, &table_length) == 0) {
    return record;
  }
  // 5. The value names.
  for (int i = 0; i <= 4; ++i) record[i] = kValueNames[i];
  // 6. The table into the translation area; its first entry.
  const TranslationArea translation = CopyTranslationTable(table, table_length);
  const uint32_t language = translation[0] | translation[1] << 8;
  const uint32_t code_page = translation[2] | translation[3] << 8;
  // 7, 8. The string-table key.
  const std::u16string key = StringTableKey(language, code_page);
  // 9. The language's display name.
  record[5] = LanguageName(platform, language);
  // 10. The five values, each in place of its name.
  for (int i = 0; i <= 4; ++i) record[i] = QueryValue(platform, block, key, record[i]);
  // 11.
  return record;
}

std::u16string StripNull(const std::u16string& text) {
  const int32_t position = vb::InStr(text, std::u16string(1, vb::kNul));
  if (position == 0) return text;
  return vb::Left(text, position - 1);
}

}  // namespace brevak
