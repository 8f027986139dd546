#include "platform/posix/registry/posix_registry.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

constexpr int32_t ERROR_INVALID_HANDLE = 6;
constexpr int32_t ERROR_INVALID_PARAMETER = 87;
// The predefined roots (HKEY_CLASSES_ROOT and up) have the top bit set.
constexpr HKEY kFirstPredefinedKey = 0x80000000u;

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

bool EqualIgnoringCase(const std::u16string& a, const std::u16string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

// Copies the data when a buffer is given. As Windows does, a text that has
// no NUL at its end gets one when the buffer has room for it.
int32_t CopyData(const std::string& bytes, bool text, uint8_t* data, uint32_t capacity) {
  if (data == nullptr) return ERROR_SUCCESS;
  if (bytes.size() > capacity) return ERROR_MORE_DATA;
  std::memcpy(data, bytes.data(), bytes.size());
  if (text && !bytes.empty() && bytes.back() != '\0' && bytes.size() < capacity) data[bytes.size()] = 0;
  return ERROR_SUCCESS;
}

// Copies the name and its NUL. When they do not fit, the name is cut to the
// buffer, still ended by a NUL, and *name_size is left as it was.
int32_t CopyName(const std::string& bytes, char* name, uint32_t* name_size) {
  if (bytes.size() >= *name_size) {
    if (*name_size > 0) {
      std::memcpy(name, bytes.data(), *name_size - 1);
      name[*name_size - 1] = '\0';
    }
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, bytes.data(), bytes.size());
  name[bytes.size()] = '\0';
  *name_size = static_cast<uint32_t>(bytes.size());
  return ERROR_SUCCESS;
}

// The longest prefix of GBK text `bytes` of at most `limit` bytes that ends
// between characters (a byte from 0x81 up leads a double-byte character).
size_t GbkPrefixLength(const std::string& bytes, size_t limit) {
  size_t length = 0;
  while (length < bytes.size()) {
    const size_t step = static_cast<uint8_t>(bytes[length]) >= 0x81 ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  return std::min(length, bytes.size());
}

}  // namespace

PosixRegistry::PosixRegistry(const WinePrefix& prefix, CodePage& code_page, std::ostream& diagnostics)
    : system_reg_(prefix.SystemRegistryFile()), code_page_(code_page), diagnostics_(diagnostics) {}

std::optional<std::u16string> PosixRegistry::PathOf(HKEY root) const {
  if (root == HKEY_LOCAL_MACHINE) return u"";
  const auto it = open_keys_.find(root);
  if (it == open_keys_.end()) return std::nullopt;
  return it->second.path;
}

int32_t PosixRegistry::RegOpenKeyA(HKEY root, const std::string& sub_key, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  const std::optional<std::u16string> base = PathOf(root);
  if (!base) return root >= kFirstPredefinedKey ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
  // The sub-key is a C string: it ends at its first NUL.
  const std::u16string sub = code_page_.FromAnsi(sub_key.substr(0, sub_key.find('\0')));
  const std::u16string path = base->empty() ? sub : sub.empty() ? *base : *base + u"\\" + sub;
  const std::optional<WineRegistryFile> file = WineRegistryFile::Load(system_reg_, diagnostics_);
  if (!file) return ERROR_FILE_NOT_FOUND;
  std::optional<std::vector<RegistryValue>> values = file->FindKey(path);
  if (!values) return ERROR_FILE_NOT_FOUND;
  *result = next_handle_;
  next_handle_ += 4;
  open_keys_[*result] = OpenKey{path, std::move(*values), file->SubKeys(path)};
  return ERROR_SUCCESS;
}

std::string PosixRegistry::DataBytes(const RegistryValue& value) const {
  return IsTextType(value.type) ? code_page_.ToAnsi(value.text) : value.bytes;
}

int32_t PosixRegistry::RegEnumValueA(HKEY key, uint32_t index, char* name, uint32_t* name_size,
                                     uint32_t* reserved, uint32_t* type, uint8_t* data,
                                     uint32_t* data_size) {
  const auto it = open_keys_.find(key);
  if (it == open_keys_.end()) return ERROR_INVALID_HANDLE;
  if (reserved != nullptr || name == nullptr || name_size == nullptr ||
      (data != nullptr && data_size == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::vector<RegistryValue>& values = it->second.values;
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  const RegistryValue& value = values[index];
  const std::string bytes = DataBytes(value);
  int32_t status = CopyData(bytes, IsTextType(value.type), data, data != nullptr ? *data_size : 0);
  if (status == ERROR_SUCCESS) status = CopyName(code_page_.ToAnsi(value.name), name, name_size);
  if (type != nullptr) *type = value.type;
  if (data_size != nullptr) *data_size = static_cast<uint32_t>(bytes.size());
  return status;
}

int32_t PosixRegistry::RegEnumKeyA(HKEY key, uint32_t index, char* name, uint32_t size) {
  const auto it = open_keys_.find(key);
  if (it == open_keys_.end()) return ERROR_INVALID_HANDLE;
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  const std::vector<std::u16string>& sub_keys = it->second.sub_keys;
  if (index >= sub_keys.size()) return ERROR_NO_MORE_ITEMS;
  const std::string bytes = code_page_.ToAnsi(sub_keys[index]);
  if (bytes.size() >= size) return ERROR_MORE_DATA;
  std::memcpy(name, bytes.data(), bytes.size());
  name[bytes.size()] = '\0';
  return ERROR_SUCCESS;
}

int32_t PosixRegistry::RegCloseKey(HKEY key) {
  return open_keys_.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::optional<std::string> PosixRegistry::Variable(const std::string& name) const {
  if (name.empty()) return std::nullopt;
  const std::u16string wanted = code_page_.FromAnsi(name);
  std::optional<std::string> found;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals == *entry) continue;
    const std::u16string entry_name = Utf8ToUtf16(std::string(*entry, static_cast<size_t>(equals - *entry)));
    if (!EqualIgnoringCase(entry_name, wanted)) continue;
    const std::string value = code_page_.ToAnsi(Utf8ToUtf16(equals + 1));
    if (entry_name == wanted) return value;
    if (!found) found = value;
  }
  return found;
}

std::string PosixRegistry::Expand(const std::string& text) const {
  // '%' (0x25) is never the second byte of a GBK character, so a byte
  // search finds exactly the percent signs.
  std::string expanded;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('%', pos);
    const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) {
      expanded.append(text, pos);
      break;
    }
    expanded.append(text, pos, open - pos);
    const std::optional<std::string> value = Variable(text.substr(open + 1, close - open - 1));
    expanded += value ? *value : text.substr(open, close - open + 1);
    pos = close + 1;
  }
  return expanded;
}

uint32_t PosixRegistry::ExpandEnvironmentStringsA(const char* source, char* destination,
                                                  uint32_t size) {
  const std::string expanded = Expand(source != nullptr ? source : "");
  if (destination != nullptr && size > 0) {
    const size_t length = GbkPrefixLength(expanded, size - 1);
    std::memcpy(destination, expanded.data(), length);
    destination[length] = '\0';
  }
  return static_cast<uint32_t>(expanded.size() + 1);
}

}  // namespace brevak::posix
