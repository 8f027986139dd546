#include "core/virtual_store.h"

#include <memory>

#include "core/module_file_ver.h"
#include "platform/file_pattern.h"

namespace brevak {
namespace {

const char kLocalAppData[] = "%LOCALAPPDATA%";

// The expansion of %LOCALAPPDATA%; empty when the variable is not set, in
// which case the reference comes back as it stands.
std::u16string LocalAppData(Platform& platform) {
  std::string expanded(260, '\0');
  uint32_t needed = 0;
  for (;;) {
    needed = platform.registry->ExpandEnvironmentStringsA(
        kLocalAppData, expanded.data(), static_cast<uint32_t>(expanded.size()));
    if (needed <= expanded.size()) break;
    expanded.assign(needed, '\0');
  }
  if (needed == 0) return {};
  std::u16string text = StripNull(platform.code_page->FromAnsi(expanded));
  if (text.find(u'%') != std::u16string::npos) return {};
  while (!text.empty() && text.back() == u'\\') text.pop_back();
  return text;
}

bool StartsWithDrive(const std::u16string& path) {
  return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

// Whether `folder` holds a database file; a folder that is not there holds
// none.
bool HoldsDataFiles(FileSystemObject& fso, const std::u16string& folder) {
  if (!fso.FolderExists(folder)) return false;
  const std::unique_ptr<FileEnumeration> listing = fso.GetFolder(folder)->Files();
  while (const std::unique_ptr<File> file = listing->Next()) {
    const std::u16string name = file->Name();
    if (MatchesFilePattern(u"*.car", name) || MatchesFilePattern(u"*.mdb", name)) return true;
  }
  return false;
}

}  // namespace

std::u16string VirtualStoreFolder(Platform& platform, const std::u16string& install_dir) {
  if (!StartsWithDrive(install_dir)) return {};
  const std::u16string local_app_data = LocalAppData(platform);
  if (local_app_data.empty()) return {};
  std::u16string folder = local_app_data + u"\\VirtualStore" + install_dir.substr(2);
  while (folder.back() == u'\\') folder.pop_back();
  return folder;
}

std::u16string VirtualStoreFolderWithData(Platform& platform, const std::u16string& install_dir) {
  const std::u16string folder = VirtualStoreFolder(platform, install_dir);
  if (folder.empty()) return {};
  return HoldsDataFiles(*platform.folders->CreateFileSystemObject(), folder) ? folder : u"";
}

}  // namespace brevak
