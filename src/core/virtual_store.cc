#include "core/virtual_store.h"

#include <memory>

#include "core/profile_list.h"
#include "platform/file_pattern.h"

namespace brevak {
namespace {

const char kLocalAppData[] = "%LOCALAPPDATA%";

// The expansion of %LOCALAPPDATA%; empty when the variable is not set, in
// which case the reference comes back as it stands.
std::u16string LocalAppData(Platform& platform) {
  std::u16string text = ExpandEnvironment(platform, kLocalAppData);
  if (text.find(u'%') != std::u16string::npos) return {};
  while (!text.empty() && text.back() == u'\\') text.pop_back();
  return text;
}

bool StartsWithDrive(const std::u16string& path) {
  return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

// The installation folder as the VirtualStore repeats it: without its
// drive and its trailing backslash.
std::u16string StorePart(const std::u16string& install_dir) {
  std::u16string part = install_dir.substr(2);
  while (!part.empty() && part.back() == u'\\') part.pop_back();
  return part;
}

bool SameFolder(const std::u16string& a, const std::u16string& b) {
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

std::u16string VirtualStoreFolder(Platform& platform, const std::u16string& install_dir) {
  if (!StartsWithDrive(install_dir)) return {};
  const std::u16string local_app_data = LocalAppData(platform);
  if (local_app_data.empty()) return {};
  return local_app_data + u"\\VirtualStore" + StorePart(install_dir);
}

std::vector<std::u16string> VirtualStoreFolders(Platform& platform, const std::u16string& install_dir) {
  std::vector<std::u16string> folders;
  if (!StartsWithDrive(install_dir)) return folders;
  const auto add = [&folders](const std::u16string& folder) {
    for (const std::u16string& known : folders) {
      if (SameFolder(known, folder)) return;
    }
    folders.push_back(folder);
  };
  if (const std::u16string own = VirtualStoreFolder(platform, install_dir); !own.empty()) add(own);
  for (const std::u16string& profile : LocalProfileFolders(platform)) {
    add(profile + u"\\AppData\\Local\\VirtualStore" + StorePart(install_dir));
  }
  return folders;
}

bool HoldsDataFiles(Platform& platform, const std::u16string& folder) {
  const std::unique_ptr<FileSystemObject> fso = platform.folders->CreateFileSystemObject();
  if (!fso->FolderExists(folder)) return false;
  const std::unique_ptr<FileEnumeration> listing = fso->GetFolder(folder)->Files();
  while (const std::unique_ptr<File> file = listing->Next()) {
    const std::u16string name = file->Name();
    if (MatchesFilePattern(u"*.car", name) || MatchesFilePattern(u"*.mdb", name)) return true;
  }
  return false;
}

}  // namespace brevak
