#include "core/profile_list.h"

#include "core/module_file_ver.h"

namespace brevak {
namespace {

constexpr uint32_t kKeyNameSize = 256;
const char16_t kProfileImagePath[] = u"ProfileImagePath";

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// The data of the text value at `index` when it is the profile's path;
// nothing for any other value, and for one that cannot be read. *status is
// the first read's: ERROR_MORE_DATA for a name too long to be the path.
std::optional<std::string> ProfilePathData(Platform& platform, HKEY profile, uint32_t index, int32_t* status) {
  char name[kKeyNameSize + 1] = {};
  uint32_t name_size = kKeyNameSize, type = 0, data_size = 0;
  *status = platform.registry->RegEnumValueA(profile, index, name, &name_size, nullptr, &type, nullptr, &data_size);
  if (*status != ERROR_SUCCESS) return std::nullopt;
  if ((type != REG_SZ && type != REG_EXPAND_SZ) ||
      !SameName(platform.code_page->FromAnsi(std::string(name, name_size)), kProfileImagePath)) {
    return std::nullopt;
  }
  std::string data(data_size, '\0');
  name_size = kKeyNameSize;
  if (platform.registry->RegEnumValueA(profile, index, name, &name_size, nullptr, &type,
                                       reinterpret_cast<uint8_t*>(data.data()), &data_size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(std::min<size_t>(data_size, data.size()));
  return data.substr(0, data.find('\0'));
}

// The profile's folder; empty when it has none that reads.
std::u16string ProfileFolder(Platform& platform, HKEY list, const std::string& sid) {
  HKEY profile = 0;
  if (platform.registry->RegOpenKeyA(list, sid, &profile) != ERROR_SUCCESS) return {};
  std::u16string folder;
  int32_t status = ERROR_SUCCESS;
  for (uint32_t index = 0; folder.empty() && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA); ++index) {
    if (const std::optional<std::string> data = ProfilePathData(platform, profile, index, &status)) {
      folder = ExpandEnvironment(platform, *data);
    }
  }
  platform.registry->RegCloseKey(profile);
  if (folder.find(u'%') != std::u16string::npos) return {};
  while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  return folder;
}

}  // namespace

std::u16string ExpandEnvironment(Platform& platform, const std::string& source) {
  std::string expanded(260, '\0');
  uint32_t needed = 0;
  for (;;) {
    needed = platform.registry->ExpandEnvironmentStringsA(source.c_str(), expanded.data(),
                                                          static_cast<uint32_t>(expanded.size()));
    if (needed <= expanded.size()) break;
    expanded.assign(needed, '\0');
  }
  if (needed == 0) return {};
  return StripNull(platform.code_page->FromAnsi(expanded));
}

std::vector<std::u16string> LocalProfileFolders(Platform& platform) {
  std::vector<std::u16string> folders;
  HKEY list = 0;
  if (platform.registry->RegOpenKeyA(HKEY_LOCAL_MACHINE, kProfileListKey, &list) != ERROR_SUCCESS) return folders;
  char sid[kKeyNameSize] = {};
  int32_t status = ERROR_SUCCESS;
  for (uint32_t index = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++index) {
    status = platform.registry->RegEnumKeyA(list, index, sid, kKeyNameSize);
    // A name that does not fit (no SID is that long) is passed over.
    if (status != ERROR_SUCCESS) continue;
    if (const std::u16string folder = ProfileFolder(platform, list, sid); !folder.empty()) folders.push_back(folder);
  }
  platform.registry->RegCloseKey(list);
  return folders;
}

}  // namespace brevak
