#include "core/module_reg_api.h"

#include <cstring>

#include "core/module_file_ver.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

using vb::vbCrLf;

constexpr uint32_t kNameBufferSize = 257;
constexpr uint32_t kNameSizeTold = 256;

// What the first read tells of a value. Counters stay 32-bit, so a long
// multi-string or a key of many values is listed whole.
struct ValueRead {
  uint32_t type = 0;
  uint32_t name_size = 0;
  uint32_t data_size = 0;
};

// The raw text of a buffer read from the registry, NULs included.
std::u16string RawText(Platform& platform, const std::string& buffer) {
  return platform.code_page->FromAnsi(buffer);
}

std::u16string BinaryLine(const std::u16string& name, const std::string& bytes) {
  std::u16string line = name + u" = ";
  for (char byte : bytes) line += vb::Hex(static_cast<uint8_t>(byte)) + u" ";
  return line + vbCrLf;
}

std::u16string DwordLine(const std::u16string& name, const std::string& data) {
  uint8_t bytes[4] = {0, 0, 0, 0};
  std::memcpy(bytes, data.data(), std::min<size_t>(data.size(), 4));
  const int32_t number = static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) |
                                              static_cast<uint32_t>(bytes[1]) << 8 |
                                              static_cast<uint32_t>(bytes[2]) << 16 |
                                              static_cast<uint32_t>(bytes[3]) << 24);
  return name + u" = " + vb::CStr(number) + vbCrLf;
}

class Listing {
 public:
  Listing(Platform& platform, HKEY key) : platform_(platform), key_(key) {}

  // Appends the lines of the value at `index`; false when no value is left.
  bool ListValue(uint32_t index) {
    ValueRead value;
    if (!FirstRead(index, &value)) return false;
    std::string name(value.name_size + 1, '\0');
    switch (value.type) {
      case REG_SZ:
      case REG_EXPAND_SZ:
      case REG_MULTI_SZ:
      case REG_BINARY:
        ListData(index, value, name, std::string(value.data_size, '\0'));
        break;
      case REG_DWORD:
      case REG_DWORD_BIG_ENDIAN:
        ListData(index, value, name, std::string(std::max<uint32_t>(value.data_size, 4), '\0'));
        break;
      default:
        break;  // REG_LINK, REG_NONE, REG_QWORD, ...: no line
    }
    return true;
  }

  const std::u16string& text() const { return text_; }

 private:
  bool FirstRead(uint32_t index, ValueRead* value) {
    char name[kNameBufferSize] = {};
    uint32_t name_size = kNameSizeTold;
    const int32_t rc = platform_.registry->RegEnumValueA(key_, index, name, &name_size, nullptr,
                                                         &value->type, nullptr, &value->data_size);
    value->name_size = name_size;
    return rc == ERROR_SUCCESS;
  }

  // The second read, into `name` and `data`, then the value's lines.
  void ListData(uint32_t index, const ValueRead& value, std::string& name, std::string data) {
    uint32_t name_size = static_cast<uint32_t>(name.size());
    uint32_t data_size = value.data_size;
    uint32_t type = 0;
    platform_.registry->RegEnumValueA(key_, index, name.data(), &name_size, nullptr, &type,
                                      reinterpret_cast<uint8_t*>(data.data()), &data_size);
    const std::u16string cut_name = StripNull(RawText(platform_, name));
    switch (value.type) {
      case REG_SZ: {
        const std::u16string label = name_size == 0 ? u"(预设值)" : cut_name;
        text_ += label + u"=" + StripNull(RawText(platform_, data)) + vbCrLf;
        break;
      }
      case REG_EXPAND_SZ:
        text_ += cut_name + u" = " + Expand(RawText(platform_, data)) + vbCrLf;
        break;
      case REG_MULTI_SZ: {
        const std::vector<std::u16string> items = SplitMultiSz(RawText(platform_, data));
        for (size_t i = 0; i < items.size(); ++i) {
          text_ += cut_name + u"(" + vb::CStr(static_cast<int64_t>(i)) + u") = " +
                   items[i] + vbCrLf;
        }
        break;
      }
      case REG_BINARY:
        text_ += BinaryLine(cut_name, data);
        break;
      default:
        text_ += DwordLine(cut_name, data);
        break;
    }
  }

  // The expansion buffer holds the raw text's length plus 256 characters.
  std::u16string Expand(const std::u16string& raw) {
    const std::string source = platform_.code_page->ToAnsi(raw) + '\0';
    std::string expanded(static_cast<size_t>(vb::Len(raw)) + 256, '\0');
    platform_.registry->ExpandEnvironmentStringsA(source.c_str(), expanded.data(),
                                                  static_cast<uint32_t>(expanded.size()));
    return StripNull(RawText(platform_, expanded));
  }

  Platform& platform_;
  HKEY key_;
  std::u16string text_;
};

}  // namespace

std::optional<std::u16string> ListRegValues(Platform& platform) {
  HKEY key = 0;
  const std::string path = platform.code_page->ToAnsi(kAppPathsKey);
  if (platform.registry->RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  Listing listing(platform, key);
  for (uint32_t index = 0; listing.ListValue(index); ++index) {
  }
  platform.registry->RegCloseKey(key);
  return listing.text();
}

std::vector<std::u16string> SplitMultiSz(const std::u16string& raw) {
  const std::u16string nul(1, vb::kNul);
  int32_t count = 0;
  for (int32_t at = vb::InStr(raw, nul); at != 0; at = vb::InStr(at + 1, raw, nul)) ++count;
  std::vector<std::u16string> items;
  int32_t start = 1;
  for (int32_t i = 0; i <= count - 2; ++i) {
    const int32_t end = vb::InStr(start, raw, nul);
    items.push_back(vb::Mid(raw, start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace brevak
