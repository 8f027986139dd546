// What a copy into a backup folder leaves when the run ends inside it: the
// folder is made before the journal names it and named before anything is
// copied, so the next run removes exactly the folder the journal names,
// and never a folder it does not.
#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/update_record.h"

namespace brevak {
namespace {

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

bool FormUpdate::MakeBackupFolder(const std::u16string& folder, const std::u16string& what,
                                  const std::u16string& button) {
  try {
    platform_.folders->CreateFileSystemObject()->CreateFolder(folder);
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(BackupFolderNotMadeMessage(what, InWords({folder}).front(), e.description(), button),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

bool FormUpdate::BeginCopyInto(const std::u16string& folder, const std::function<void()>& transition,
                               const std::u16string& what, const std::u16string& button) {
  try {
    transition();
    return true;
  } catch (const RunTimeError& e) {
    RemoveFolder(folder);  // made by this run a moment ago, still empty
    ResumeNext([&] {
      window().MsgBox(ProgressFileNotWrittenMessage(what, e.description(), TryAgainLine(button), UpdateRecordPath()),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// Only a copy the journal names is dropped: a finishing whose record was
// gone before its save named none.
void FormUpdate::DropCopyState() {
  if (journal().CopyUnderWay()) ResumeNext([&] { journal().DropUnfinishedCopy(); });
}

// A folder holding a subfolder, or a file no backup copies, has had
// something of the user's put into it since: it is kept.
bool FormUpdate::HoldsOnlyCopiedFiles(const std::u16string& folder) {
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
// data that was replaced. False only when the state cannot be ended.
bool FormUpdate::EndUnfinishedCopy(const UpdateRecord& copy) {
  const std::u16string folder = sInstallDir_ + copy.backup;
  if (FolderExists(folder)) {
    if (!HoldsOnlyCopiedFiles(folder)) {
      ResumeNext([&] {
        window().MsgBox(UnfinishedCopyKeptMessage(InWords({folder}).front(), {}, true), MsgBoxButtons::kOkOnly);
      });
    } else {
      try {
        platform_.folders->CreateFileSystemObject()->DeleteFolder(folder);
      } catch (const RunTimeError& e) {
        ResumeNext([&] {
          window().MsgBox(UnfinishedCopyKeptMessage(InWords({folder}).front(), e.description(), false),
                          MsgBoxButtons::kOkOnly);
        });
      }
    }
  }
  try {
    journal().DropUnfinishedCopy();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(UnfinishedCopyNotEndedMessage(e.description(), UpdateRecordPath()), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

std::optional<FormUpdate::RecordReading> FormUpdate::ReadRecordEndingUnfinishedCopy() {
  RecordReading reading = ReadRecord();
  if (!reading.unfinished_copy) return reading;
  if (!EndUnfinishedCopy(*reading.unfinished_copy)) return std::nullopt;
  return ReadRecord();
}

std::u16string FormUpdate::UnfinishedCopyFolderName() {
  std::u16string name;
  ResumeNext([&] {
    const std::optional<std::u16string> text = platform_.durable_files->ReadText(UpdateRecordPath());
    const std::optional<UpdateRecord> record = text ? ParseUpdateRecord(*text) : std::nullopt;
    if (record && IsUnfinishedCopy(*record)) {
      name = record->backup;
    }
  });
  return name;
}

}  // namespace brevak
