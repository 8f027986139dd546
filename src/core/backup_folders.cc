// The backup folders. A copy into one is made, then named in the journal,
// then copied into: a run that ends inside the copy leaves a folder the
// next run removes by the journal's name, and never a folder it does not.
#include "core/backup_folders.h"

#include "core/file_presence.h"
#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/prompts.h"
#include "core/record_path.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// While the stamp's folder exists the clock is read again every so often,
// for a few seconds at the most (a folder for each of the next seconds, or
// a clock that stands still).
constexpr int kNamingWaitMs = 200;
constexpr int kMaxNamingWaits = 25;

const char16_t kDigestPrefix[] = u"sha256:";

std::u16string WithoutTrailingBackslash(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string UpperCase(std::u16string name) {
  for (char16_t& c : name) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return name;
}

// The copier's temporaries and the files a backup request takes
// (*.car, *.mdb, Brevak.*, *.ini).
bool IsCopiedName(const std::u16string& name) {
  if (name.starts_with(u".~brevak-") && name.ends_with(u".tmp")) return true;
  const std::u16string upper = UpperCase(name);
  return upper.ends_with(u".CAR") || upper.ends_with(u".MDB") || upper.ends_with(u".INI") ||
         upper.starts_with(u"BREVAK.");
}

}  // namespace

std::optional<std::u16string> BackupFolders::Stamped(const std::u16string& install_dir) {
  std::optional<std::u16string> folder;
  ResumeNext([&] {
    Clock& clock = *platform_.clock;
    std::u16string stamp = vb::CStr(clock.Now().year);
    stamp += FormUpdate::Add0(vb::CStr(clock.Now().month));
    stamp += FormUpdate::Add0(vb::CStr(clock.Now().day));
    stamp += FormUpdate::Add0(vb::CStr(clock.Now().hour));
    stamp += FormUpdate::Add0(vb::CStr(clock.Now().minute));
    stamp += FormUpdate::Add0(vb::CStr(clock.Now().second));
    folder = install_dir + stamp;
  });
  return folder;
}

// While the stamp's folder exists (an update earlier in the same second, a
// clock set back), the clock is read again until the name is free. A
// reading that fails keeps the name read before.
std::u16string BackupFolders::NameNew(const std::u16string& install_dir, const std::u16string& restore_button,
                                      bool restore) {
  std::u16string folder = Stamped(install_dir).value_or(u"");
  for (int wait = 0; FolderExists(folder); ++wait) {
    if (wait == kMaxNamingWaits) {
      ResumeNext([&] {
        window_.MsgBox(restore ? prompt::RestoreBackupFolderExists(folder, restore_button)
                               : prompt::BackupFolderExists(folder),
                       MsgBoxButtons::kOkOnly);
      });
      return u"";
    }
    ResumeNext([&] { platform_.clock->Sleep(kNamingWaitMs); });
    if (std::optional<std::u16string> next = Stamped(install_dir)) folder = *next;
  }
  return folder;
}

bool BackupFolders::Make(const std::u16string& folder, const std::u16string& what, const std::u16string& button) {
  try {
    platform_.folders->CreateFileSystemObject()->CreateFolder(folder);
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(BackupFolderNotMadeMessage(what, InWords({folder}).front(), e.description(), button),
                     MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

bool BackupFolders::BeginCopyInto(const std::u16string& install_dir, const std::u16string& folder,
                                  const std::function<void()>& transition, const std::u16string& what,
                                  const std::u16string& button) {
  try {
    transition();
    return true;
  } catch (const RunTimeError& e) {
    Remove(folder);  // made by this run a moment ago, still empty
    ResumeNext([&] {
      window_.MsgBox(
          ProgressFileNotWrittenMessage(what, e.description(), TryAgainLine(button), UpdateRecordPath(install_dir)),
          MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// Only a copy the journal names is dropped: a finishing whose record was
// gone before its save named none.
void BackupFolders::DropCopyState() {
  if (journal_.CopyUnderWay()) ResumeNext([&] { journal_.DropUnfinishedCopy(); });
}

void BackupFolders::EndFailedCopy(const std::u16string& folder) {
  Remove(folder);
  if (!FolderExists(folder)) DropCopyState();
}

// A folder holding a subfolder, or a file no backup copies, has had
// something of the user's put into it since: it is kept.
bool BackupFolders::HoldsOnlyCopiedFiles(const std::u16string& folder) {
  bool only_copied = false;
  ResumeNext([&] {
    const std::unique_ptr<Folder> opened = platform_.folders->CreateFileSystemObject()->GetFolder(folder);
    if (opened->SubFolders()->Next()) return;
    const std::unique_ptr<FileEnumeration> files = opened->Files();
    while (std::unique_ptr<File> file = files->Next()) {
      if (!IsCopiedName(file->Name())) return;
    }
    only_copied = true;
  });
  return only_copied;
}

// The folder goes when it is there and holds only what a copy writes; the
// state ends either way, since nothing in the folder is a whole copy of
// data that was replaced.
bool BackupFolders::EndUnfinishedCopy(const std::u16string& install_dir, const UpdateRecord& copy) {
  const std::u16string folder = install_dir + copy.backup;
  if (FolderExists(folder)) {
    if (!HoldsOnlyCopiedFiles(folder)) {
      ResumeNext([&] {
        window_.MsgBox(UnfinishedCopyKeptMessage(InWords({folder}).front(), {}, true), MsgBoxButtons::kOkOnly);
      });
    } else {
      try {
        platform_.folders->CreateFileSystemObject()->DeleteFolder(folder);
      } catch (const RunTimeError& e) {
        ResumeNext([&] {
          window_.MsgBox(UnfinishedCopyKeptMessage(InWords({folder}).front(), e.description(), false),
                         MsgBoxButtons::kOkOnly);
        });
      }
    }
  }
  try {
    journal_.DropUnfinishedCopy();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(UnfinishedCopyNotEndedMessage(e.description(), UpdateRecordPath(install_dir)),
                     MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

std::u16string BackupFolders::UnfinishedCopyFolderName(const std::u16string& install_dir) {
  std::u16string name;
  ResumeNext([&] {
    const std::optional<std::u16string> text = platform_.durable_files->ReadText(UpdateRecordPath(install_dir));
    const std::optional<UpdateRecord> record = text ? ParseUpdateRecord(*text) : std::nullopt;
    if (record && IsUnfinishedCopy(*record)) {
      name = record->backup;
    }
  });
  return name;
}

bool BackupFolders::FolderExists(const std::u16string& folder) { return FolderIsThere(platform_, folder); }

bool BackupFolders::FileExists(const std::u16string& path) { return FileIsThere(platform_, path); }

void BackupFolders::Remove(const std::u16string& folder) {
  if (!FolderExists(folder)) return;
  ResumeNext([&] { platform_.folders->CreateFileSystemObject()->DeleteFolder(folder); });
}

std::map<std::u16string, std::u16string> BackupFolders::DatabaseDigests(const std::u16string& folder) {
  std::map<std::u16string, std::u16string> digests;
  for (const char16_t* name : {kCustomerDatabase, kAddressBook}) {
    const std::optional<std::string> digest = platform_.file_digests->Sha256(
        WithoutTrailingBackslash(folder) + u"\\" + name, [&] { ResumeNext([&] { window_.DoEvents(); }); });
    digests[name] = digest ? kDigestPrefix + std::u16string(digest->begin(), digest->end()) : u"";
  }
  return digests;
}

std::map<std::u16string, std::u16string> BackupFolders::DatabaseSizes(const std::u16string& folder) {
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

std::u16string FolderName(const std::u16string& path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

std::u16string StampInWords(const std::u16string& stamp) {
  const std::u16string label = FormUpdate::SplitDir(stamp);
  return label.substr(2, label.size() - 4);
}

std::vector<NamedFolder> InWords(const std::vector<std::u16string>& folders) {
  std::vector<NamedFolder> named;
  for (const std::u16string& folder : folders) named.push_back({folder, StampInWords(FolderName(folder))});
  return named;
}

}  // namespace brevak
