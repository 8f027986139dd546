// What makes an in-progress record believed: every field checked before
// use, every folder a fourteen-digit folder directly in the installation
// folder, and the backup's databases the same content the run wrote,
// known by their digests. A record that does not prove itself is never
// followed; the folders it and the newest backup name are told instead.
#include <algorithm>

#include "core/in_progress_record.h"
#include "core/jet_database.h"
#include "core/record_path.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

std::u16string WithoutTrailingBackslash(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

// A folder's path as the earlier record form may spell it: "/" for "\",
// another case, a trailing "\".
std::u16string ComparablePath(std::u16string path) {
  std::replace(path.begin(), path.end(), u'/', u'\\');
  return WithoutTrailingBackslash(vb::LCase(path));
}

// The size in a "SIZE DATE" stamp of the earlier form: its date is local
// time and moves with the time zone, so it is never compared.
std::u16string StampSize(const std::u16string& stamp) { return stamp.substr(0, stamp.find(u' ')); }

}  // namespace

std::u16string InProgressRecord::RecordFolder(const std::u16string& install_dir, const std::u16string& value,
                                              int version) const {
  if (install_dir.empty()) return u"";
  const std::u16string name = FolderName(value);
  if (!IsStampName(name)) return u"";
  if (version == kUpdateRecordVersion) return value == name ? install_dir + name : u"";
  const size_t cut = value.find_last_of(u"\\/");
  if (cut == std::u16string::npos || ComparablePath(value.substr(0, cut)) != ComparablePath(install_dir)) return u"";
  return install_dir + name;
}

// An entry of the history list: a folder directly in the installation
// folder, by the name the list shows.
bool InProgressRecord::IsHistoryEntry(const std::u16string& install_dir, const std::u16string& entry) {
  bool listed = false;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<FolderEnumeration> subfolders = fso->GetFolder(install_dir)->SubFolders();
    while (std::unique_ptr<Folder> folder = subfolders->Next()) listed = listed || folder->Name() == entry;
  });
  return listed;
}

std::u16string InProgressRecord::NewestBackupWithDatabases(const std::u16string& install_dir) {
  std::vector<std::u16string> stamps;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<FolderEnumeration> subfolders = fso->GetFolder(install_dir)->SubFolders();
    while (std::unique_ptr<Folder> folder = subfolders->Next()) {
      if (IsStampName(folder->Name())) stamps.push_back(folder->Name());
    }
  });
  std::sort(stamps.rbegin(), stamps.rend());
  for (const std::u16string& stamp : stamps) {
    const std::u16string folder = install_dir + stamp;
    if (folders_.FileExists(folder + u"\\" + kCustomerDatabase) && folders_.FileExists(folder + u"\\" + kAddressBook)) {
      return folder;
    }
  }
  return u"";
}

std::vector<std::u16string> InProgressRecord::FoldersToName(const std::u16string& install_dir,
                                                            const std::vector<std::u16string>& names) {
  std::vector<std::u16string> folders;
  if (install_dir.empty()) return folders;
  for (const std::u16string& name : names) {
    if (folders_.FolderExists(install_dir + name)) folders.push_back(install_dir + name);
  }
  const std::u16string newest = NewestBackupWithDatabases(install_dir);
  if (!newest.empty() && std::find(folders.begin(), folders.end(), newest) == folders.end()) {
    folders.push_back(newest);
  }
  return folders;
}

// What a run found: nothing, a record that proves itself, a newer tool's,
// or one that is not believed (with the reason and the folders to name).
RecordReading InProgressRecord::Read(const std::u16string& install_dir) {
  RecordReading reading;
  std::optional<std::u16string> text;
  try {
    text = journal_.Read(UpdateRecordPath(install_dir));
  } catch (const RunTimeError& e) {
    reading.problem = RecordUnreadableReason(e.description());
    reading.folders = FoldersToName(install_dir, {});
    return reading;
  }
  if (!text) return reading;
  std::optional<UpdateRecord> record = ParseUpdateRecord(*text);
  if (record && IsUnfinishedCopy(*record)) {
    // Nothing of it is followed but the folder's name, checked by the codec.
    reading.unfinished_copy = std::move(record);
    return reading;
  }
  if (record && record->version > kUpdateRecordVersion) {
    reading.newer = true;
  } else if (!record) {
    reading.problem = RecordIncompleteReason();
  } else {
    reading.problem = Prove(install_dir, *record);
  }
  if (reading.newer || !reading.problem.empty()) {
    reading.folders = FoldersToName(install_dir, RecordedFolderNames(*text));
  } else {
    reading.record = std::move(record);
  }
  return reading;
}

// The backup must be a fourteen-digit folder directly inside the
// installation folder (never the package folder), every other folder too,
// a restored entry one the history lists, and the backup's databases what
// the run wrote: the same digests, or for the earlier form, which kept no
// digest, the same sizes.
std::u16string InProgressRecord::Prove(const std::u16string& install_dir, UpdateRecord& record) {
  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  const std::u16string backup = RecordFolder(install_dir, record.backup, record.version);
  if (backup.empty() || ComparablePath(backup) == ComparablePath(package)) {
    return RecordFolderOutsideReason(record.backup);
  }
  for (std::u16string& saved : record.saved) {
    const std::u16string folder = RecordFolder(install_dir, saved, record.version);
    if (folder.empty()) return RecordFolderOutsideReason(saved);
    saved = folder;
  }
  if (!record.chain_backup.empty()) {
    const std::u16string first = RecordFolder(install_dir, record.chain_backup, record.version);
    if (first.empty()) return RecordFolderOutsideReason(record.chain_backup);
    record.chain_backup = first;
  }
  if (record.kind == UpdateRecord::Kind::kRestore && !IsHistoryEntry(install_dir, record.restored)) {
    return RecordEntryNotListedReason(record.restored);
  }
  if (record.unfinished_update) {
    UpdateRecord update = *record.unfinished_update;
    const std::u16string problem = Prove(install_dir, update);
    if (!problem.empty()) return problem;
    record.unfinished_update = std::make_shared<const UpdateRecord>(std::move(update));
  }
  std::map<std::u16string, std::u16string> digests;
  try {
    digests = folders_.DatabaseDigests(backup);
  } catch (const RunTimeError& e) {
    return RecordDatabasesChangedReason(backup) + u"：" + e.description();
  }
  if (digests.at(kCustomerDatabase).empty()) return RecordDatabasesChangedReason(backup);
  if (record.version == kUpdateRecordVersion && digests != record.backup_files) {
    return RecordDatabasesChangedReason(backup);
  }
  if (record.version != kUpdateRecordVersion) {
    const std::map<std::u16string, std::u16string> sizes = folders_.DatabaseSizes(backup);
    for (const auto& [name, stamp] : record.backup_files) {
      if (sizes.at(name) != StampSize(stamp)) return RecordDatabasesChangedReason(backup);
    }
    // From here on the record is kept in this version: its databases by
    // digest, and no word on the installation's state it cannot prove.
    record.version = kUpdateRecordVersion;
    record.backup_files = digests;
    record.after_files.clear();
  }
  record.backup = backup;
  record.started = FolderName(backup);
  return u"";
}

}  // namespace brevak
