#include "core/preconditions.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/file_presence.h"
#include "core/guard_texts.h"
#include "core/jet_database.h"
#include "core/prompts.h"
#include "core/update_record.h"
#include "core/vb_text.h"

namespace brevak {

// Without the registry's installation folder, the folder the tool runs
// from would be taken for it: the package backed up into itself, and
// migrated onto itself. The window's load stays as it is; the handlers
// refuse instead.
bool Preconditions::InstallationFound(const std::u16string& run, const std::u16string& install_dir) {
  if (!install_dir.empty() && FileExists(install_dir + u"\\Brevak.exe")) return true;
  ResumeNext([&] { window_.MsgBox(guard_text::InstallationNotFound(run, install_dir), MsgBoxButtons::kOkOnly); });
  return false;
}

// Started from inside a ZIP file, the tool finds only itself: the update
// would copy nothing over the installation and call the old data moved. A
// package without databases is whole (the installed ones are kept); one
// without Brevak.exe is not. A folder name the code page cannot hold reads
// every program of the package as missing or damaged, so it is named as
// the problem first.
bool Preconditions::PackageUsable() {
  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  std::u16string problem;
  if (!FitsCodePage(package)) {
    problem = guard_text::PackageFolderNameUnusable(package);
  } else if (package.empty() || !FileExists(package + u"\\Brevak.exe")) {
    problem = guard_text::PackageNotExtracted(package);
  }
  if (problem.empty()) return true;
  ResumeNext([&] { window_.MsgBox(problem, MsgBoxButtons::kOkOnly); });
  return false;
}

// The backup and the migration read both databases: one that is missing or
// does not open would be backed up as it is, and every table of it would
// then fail to move after the package had replaced it.
bool Preconditions::InstalledDatabasesOpen(const std::u16string& install_dir) {
  struct Installed {
    const char16_t* name;
    const char16_t* password;
    std::u16string what;
  };
  const Installed files[] = {{kCustomerDatabase, kCustomerPassword, prompt::CustomerDatabase()},
                             {kAddressBook, u"", prompt::AddressBook()}};
  for (const Installed& file : files) {
    const std::u16string path = install_dir + file.name;
    std::optional<std::u16string> reason;
    if (FileExists(install_dir + u"\\" + file.name)) {
      reason = ReadOnlyOpenError(path, file.password);
      if (!reason) continue;
    }
    ResumeNext([&] {
      window_.MsgBox(guard_text::InstalledDatabaseProblem(file.what, path, reason.value_or(u"")),
                     MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  return true;
}

std::optional<std::u16string> Preconditions::ReadOnlyOpenError(const std::u16string& path,
                                                               const std::u16string& password) {
  try {
    const std::unique_ptr<Connection> connection = platform_.database->CreateConnection(u"Adodb.Connection");
    connection->SetProvider(kProvider);
    connection->Open(ConnectionString(path, password) + u";Mode=Read");
    connection->Close();
  } catch (const RunTimeError& e) {
    return e.description();
  }
  return std::nullopt;
}

// What the folder holds is named, so that the user sees what is about to
// replace the shop's data; a folder that cannot be read names nothing. A
// folder gone since it was listed is left to the copy, which reports it.
bool Preconditions::ConfirmRestoreOf(const std::u16string& install_dir, const std::u16string& entry) {
  if (!FitsCodePage(entry)) {
    ResumeNext([&] { window_.MsgBox(guard_text::RestoreFolderNameUnusable(entry), MsgBoxButtons::kOkOnly); });
    return false;
  }
  if (IsBackupFolder(install_dir, entry) || !FolderExists(install_dir + entry)) return true;
  std::vector<std::u16string> files;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<Folder> folder = fso->GetFolder(install_dir + entry);
    const std::unique_ptr<FileEnumeration> listing = folder->Files();
    while (std::unique_ptr<File> file = listing->Next()) files.push_back(file->Name());
  });
  std::sort(files.begin(), files.end());
  int answer = vbNo;
  ResumeNext([&] {
    answer = window_.MsgBox(guard_text::NotABackupQuestion(entry, files), MsgBoxButtons::kYesNo);
  });
  return answer == vbYes;
}

// A conversion that cannot be made is taken as fitting: the check must not
// stop a run on its own failure.
bool Preconditions::FitsCodePage(const std::u16string& text) {
  bool fits = true;
  ResumeNext([&] { fits = platform_.code_page->FromAnsi(platform_.code_page->ToAnsi(text)) == text; });
  return fits;
}

bool Preconditions::IsBackupFolder(const std::u16string& install_dir, const std::u16string& entry) {
  const std::u16string folder = install_dir + entry;
  return IsStampName(entry) && FileExists(folder + u"\\" + kCustomerDatabase) &&
         FileExists(folder + u"\\" + kAddressBook);
}

bool Preconditions::FileExists(const std::u16string& path) { return FileIsThere(platform_, path); }

bool Preconditions::FolderExists(const std::u16string& folder) { return FolderIsThere(platform_, folder); }

}  // namespace brevak
