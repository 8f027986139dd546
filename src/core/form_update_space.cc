// Free space: the real peak a handler needs on the installation's drive,
// with a margin, measured before anything changes.
#include <algorithm>
#include <map>
#include <vector>

#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/vb_text.h"
#include "platform/file_pattern.h"

namespace brevak {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

struct FileSize {
  std::u16string name;
  int64_t size;
};

std::vector<FileSize> ListFiles(FileSystemObject& fso, const std::u16string& folder) {
  std::vector<FileSize> files;
  const std::unique_ptr<FileEnumeration> listing = fso.GetFolder(folder)->Files();
  while (std::unique_ptr<File> file = listing->Next()) files.push_back({file->Name(), file->Size()});
  return files;
}

// The file-name part of each pattern of a copy request's source list.
std::vector<std::u16string> NamePatterns(const std::u16string& source_list) {
  std::vector<std::u16string> names;
  for (const std::u16string& pattern : PatternsOf(source_list)) {
    names.push_back(pattern.substr(pattern.find_last_of(u'\\') + 1));
  }
  return names;
}

// A file counts once, however many patterns take it (Brevak.ini).
std::vector<FileSize> Matching(const std::vector<FileSize>& files, const std::vector<std::u16string>& patterns) {
  std::vector<FileSize> taken;
  for (const FileSize& file : files) {
    if (std::any_of(patterns.begin(), patterns.end(),
                    [&](const std::u16string& pattern) { return MatchesFilePattern(pattern, file.name); })) {
      taken.push_back(file);
    }
  }
  return taken;
}

std::map<std::u16string, int64_t> SizesByName(const std::vector<FileSize>& files) {
  std::map<std::u16string, int64_t> sizes;
  for (const FileSize& file : files) sizes[vb::LCase(file.name)] = file.size;
  return sizes;
}

int64_t SizeOf(const std::map<std::u16string, int64_t>& sizes, const std::u16string& name) {
  const auto found = sizes.find(vb::LCase(name));
  return found == sizes.end() ? 0 : found->second;
}

// The installation's peak above what it holds now: the backup of its data
// files, each incoming file beyond the one it replaces, and, for the file a
// copy has in flight, the old file it writes beside before that is removed
// (the largest such old file; a file new to the folder is counted whole by
// its growth already). The package copy replaces the old databases before
// the migration refills the new ones, so a migrated database ends at about
// the old one's size plus the fresh database's own, which is counted whole.
int64_t PeakNeed(const std::vector<FileSize>& installed, const std::vector<FileSize>& backed_up,
                 const std::vector<FileSize>& incoming, bool migrates) {
  const std::map<std::u16string, int64_t> installed_sizes = SizesByName(installed);
  int64_t need = 0;
  int64_t largest = 0;
  for (const FileSize& file : backed_up) need += file.size;
  for (const FileSize& file : incoming) {
    const bool migrated = migrates && (vb::LCase(file.name) == vb::LCase(kCustomerDatabase) || vb::LCase(file.name) == vb::LCase(kAddressBook));
    if (migrated) {
      need += file.size;
      continue;
    }
    const int64_t replaced = SizeOf(installed_sizes, file.name);
    need += std::max<int64_t>(0, file.size - replaced);
    largest = std::max(largest, std::min(file.size, replaced));
  }
  return need + largest;
}

// Megabytes, rounded up for what is needed and down for what is there.
std::u16string MegabytesUp(int64_t bytes) { return vb::CStr((bytes + kMegabyte - 1) / kMegabyte); }
std::u16string MegabytesDown(int64_t bytes) { return vb::CStr(bytes / kMegabyte); }

}  // namespace

// A drive or folder that cannot be read is not measured: the copies report
// their own failures, and a check must not stop what the copies could do.
std::u16string FormUpdate::SpaceProblemFor(const std::u16string& incoming_folder,
                                           const std::u16string& incoming_patterns, bool migrates) {
  int64_t needed = 0;
  int64_t available = 0;
  try {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::vector<FileSize> installed = ListFiles(*fso, sInstallDir_);
    const std::vector<FileSize> incoming = Matching(ListFiles(*fso, incoming_folder), NamePatterns(incoming_patterns));
    needed = PeakNeed(installed, Matching(installed, NamePatterns(BackupSourceList())), incoming, migrates);
    needed += needed / 20 + kMegabyte;
    available = fso->AvailableSpace(sInstallDir_);
  } catch (const RunTimeError&) {
    return u"";
  }
  if (available >= needed) return u"";
  return u"需要 " + MegabytesUp(needed) + u" MB，安装文件夹所在的磁盘只有 " + MegabytesDown(available) +
         u" MB 可用。";
}

}  // namespace brevak
