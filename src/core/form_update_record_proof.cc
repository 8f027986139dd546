// What makes an in-progress record believed: every field checked before
// use, every folder a fourteen-digit folder directly in the installation
// folder, and the backup's databases the same content the run wrote,
// known by their digests. A record that does not prove itself is never
// followed; the folders it and the newest backup name are told instead.
#include <algorithm>

#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// Matches none of the backup, package and restore patterns (nor their 8.3
// short names), and is a file, so the history list never shows it.
const char16_t kUpdateRecordName[] = u"upgrade-in-progress.brevak";
const char16_t kDigestPrefix[] = u"sha256:";

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

std::u16string FolderName(const std::u16string& path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

// The size in a "SIZE DATE" stamp of the earlier form: its date is local
// time and moves with the time zone, so it is never compared.
std::u16string StampSize(const std::u16string& stamp) { return stamp.substr(0, stamp.find(u' ')); }

}  // namespace

std::u16string FormUpdate::UpdateRecordPath() const { return sInstallDir_ + kUpdateRecordName; }

Journal& FormUpdate::journal() {
  if (!journal_) journal_ = std::make_unique<Journal>(*platform_.durable_files);
  return *journal_;
}

std::map<std::u16string, std::u16string> FormUpdate::DatabaseDigests(const std::u16string& folder) {
  std::map<std::u16string, std::u16string> digests;
  for (const char16_t* name : {kCustomerDatabase, kAddressBook}) {
    const std::optional<std::string> digest = platform_.file_digests->Sha256(
        WithoutTrailingBackslash(folder) + u"\\" + name, [&] { ResumeNext([&] { window().DoEvents(); }); });
    digests[name] = digest ? kDigestPrefix + std::u16string(digest->begin(), digest->end()) : u"";
  }
  return digests;
}

std::map<std::u16string, std::u16string> FormUpdate::DatabaseSizes(const std::u16string& folder) {
  std::map<std::u16string, std::u16string> sizes;
  for (const char16_t* name : {kCustomerDatabase, kAddressBook}) {
    std::u16string& size = sizes[name];
    ResumeNext([&] {
      const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
      size = vb::CStr(fso->GetFile(WithoutTrailingBackslash(folder) + u"\\" + name)->Size());
    });
  }
  return sizes;
}

std::u16string FormUpdate::RecordFolder(const std::u16string& value, int version) const {
  if (sInstallDir_.empty()) return u"";
  const std::u16string name = FolderName(value);
  if (!IsStampName(name)) return u"";
  if (version == kUpdateRecordVersion) return value == name ? sInstallDir_ + name : u"";
  const size_t cut = value.find_last_of(u"\\/");
  if (cut == std::u16string::npos || ComparablePath(value.substr(0, cut)) != ComparablePath(sInstallDir_)) return u"";
  return sInstallDir_ + name;
}

// An entry of the history list: a folder directly in the installation
// folder, by the name the list shows.
bool FormUpdate::IsHistoryEntry(const std::u16string& entry) {
  bool listed = false;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<FolderEnumeration> subfolders = fso->GetFolder(sInstallDir_)->SubFolders();
    while (std::unique_ptr<Folder> folder = subfolders->Next()) listed = listed || folder->Name() == entry;
  });
  return listed;
}

std::u16string FormUpdate::NewestBackupWithDatabases() {
  std::vector<std::u16string> stamps;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<FolderEnumeration> subfolders = fso->GetFolder(sInstallDir_)->SubFolders();
    while (std::unique_ptr<Folder> folder = subfolders->Next()) {
      if (IsStampName(folder->Name())) stamps.push_back(folder->Name());
    }
  });
  std::sort(stamps.rbegin(), stamps.rend());
  for (const std::u16string& stamp : stamps) {
    const std::u16string folder = sInstallDir_ + stamp;
    if (FileExists(folder + u"\\" + kCustomerDatabase) && FileExists(folder + u"\\" + kAddressBook)) return folder;
  }
  return u"";
}

std::vector<std::u16string> FormUpdate::FoldersToName(const std::vector<std::u16string>& names) {
  std::vector<std::u16string> folders;
  if (sInstallDir_.empty()) return folders;
  for (const std::u16string& name : names) {
    if (FolderExists(sInstallDir_ + name)) folders.push_back(sInstallDir_ + name);
  }
  const std::u16string newest = NewestBackupWithDatabases();
  if (!newest.empty() && std::find(folders.begin(), folders.end(), newest) == folders.end()) {
    folders.push_back(newest);
  }
  return folders;
}

std::vector<NamedFolder> FormUpdate::InWords(const std::vector<std::u16string>& folders) {
  std::vector<NamedFolder> named;
  for (const std::u16string& folder : folders) named.push_back({folder, StampInWords(FolderName(folder))});
  return named;
}

// What a run found: nothing, a record that proves itself, a newer tool's,
// or one that is not believed (with the reason and the folders to name).
FormUpdate::RecordReading FormUpdate::ReadRecord() {
  RecordReading reading;
  std::optional<std::u16string> text;
  try {
    text = journal().Read(UpdateRecordPath());
  } catch (const RunTimeError& e) {
    reading.problem = RecordUnreadableReason(e.description());
    reading.folders = FoldersToName({});
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
    reading.problem = ProveRecord(*record);
  }
  if (reading.newer || !reading.problem.empty()) {
    reading.folders = FoldersToName(RecordedFolderNames(*text));
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
std::u16string FormUpdate::ProveRecord(UpdateRecord& record) {
  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  const std::u16string backup = RecordFolder(record.backup, record.version);
  if (backup.empty() || ComparablePath(backup) == ComparablePath(package)) {
    return RecordFolderOutsideReason(record.backup);
  }
  for (std::u16string& saved : record.saved) {
    const std::u16string folder = RecordFolder(saved, record.version);
    if (folder.empty()) return RecordFolderOutsideReason(saved);
    saved = folder;
  }
  if (!record.chain_backup.empty()) {
    const std::u16string first = RecordFolder(record.chain_backup, record.version);
    if (first.empty()) return RecordFolderOutsideReason(record.chain_backup);
    record.chain_backup = first;
  }
  if (record.kind == UpdateRecord::Kind::kRestore && !IsHistoryEntry(record.restored)) {
    return RecordEntryNotListedReason(record.restored);
  }
  if (record.unfinished_update) {
    UpdateRecord update = *record.unfinished_update;
    const std::u16string problem = ProveRecord(update);
    if (!problem.empty()) return problem;
    record.unfinished_update = std::make_shared<const UpdateRecord>(std::move(update));
  }
  std::map<std::u16string, std::u16string> digests;
  try {
    digests = DatabaseDigests(backup);
  } catch (const RunTimeError& e) {
    return RecordDatabasesChangedReason(backup) + u"：" + e.description();
  }
  if (digests.at(kCustomerDatabase).empty()) return RecordDatabasesChangedReason(backup);
  if (record.version == kUpdateRecordVersion && digests != record.backup_files) {
    return RecordDatabasesChangedReason(backup);
  }
  if (record.version != kUpdateRecordVersion) {
    const std::map<std::u16string, std::u16string> sizes = DatabaseSizes(backup);
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
