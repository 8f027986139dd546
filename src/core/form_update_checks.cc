// The checks made before a run changes anything, as one table of which
// check runs for a new update, for the finishing of an interrupted one and
// for a restore, and in which order. Each check that fails tells the user
// what is wrong and stops the run; none changes a file. They come after
// the checks every click makes before the in-progress record is read (an
// installation, and for an update a usable package:
// form_update_preconditions.cc), and before the run's log entry begins.
#include <algorithm>
#include <vector>

#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/module_file_ver.h"
#include "core/prompts.h"
#include "core/vb_text.h"
#include "core/virtual_store.h"

namespace brevak {
namespace {

const char16_t kNotNewerQuestion[] = u"升级版本并不比当前版本更新，是否继续？";

enum class Check { kVersion, kVirtualStore, kSpace, kPackage, kFilesFree, kDatabasesOpen };

// Each check's place in each run's order, counting from 1; 0: not made.
//
// - The version gate asks only before a new update: when finishing, the
//   package may already lie over the installation, and a restore lays no
//   program.
// - Data left in the VirtualStore stops a new update and a finishing. Its
//   files were written by Brevak without administrator rights after the
//   last update that checked: finishing would migrate the backup's older
//   data and say "升级完成" while the shop's newest entries stay shadowed
//   there, so it stops the same way and the record stays for the next
//   开始更新. A restore lays back a folder the user chose and migrates
//   nothing, so it does not look there.
// - Room on the drive: for an update, its backup and the package; for a
//   restore, its safety copy and the restored files.
// - A whole package: whatever lays the package over the installation.
// - No file held by another program: every run. Finishing checks it first,
//   as soon as the user has said yes, as the restore does.
// - The installed databases open: only a new update, which backs them up
//   and migrates from that backup; finishing migrates from a backup the
//   record proved, and a restore replaces them.
struct Row {
  Check check;
  int new_update;
  int finishing;
  int restore;
};
constexpr Row kChecks[] = {
    //                         new update  finishing  restore
    {Check::kVersion,          1,          0,         0},
    {Check::kVirtualStore,     2,          2,         0},
    {Check::kSpace,            3,          3,         2},
    {Check::kPackage,          4,          4,         0},
    {Check::kFilesFree,        5,          1,         1},
    {Check::kDatabasesOpen,    6,          0,         0},
};

int PlaceIn(const Row& row, CheckedRun run) {
  switch (run) {
    case CheckedRun::kNewUpdate: return row.new_update;
    case CheckedRun::kFinishing: return row.finishing;
    case CheckedRun::kRestore: return row.restore;
  }
  return 0;
}

// A program must carry a version that can be read.
bool VersionReadable(Platform& platform, const std::u16string& path) {
  std::u16string version;
  ResumeNext([&] { version = GetFileVer(platform, path)[0]; });
  return !version.empty();
}

// The checks of `run`, in its order.
std::vector<Check> ChecksOf(CheckedRun run) {
  std::vector<const Row*> rows;
  for (const Row& row : kChecks) {
    if (PlaceIn(row, run) != 0) rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(), [&](const Row* a, const Row* b) { return PlaceIn(*a, run) < PlaceIn(*b, run); });
  std::vector<Check> checks;
  for (const Row* row : rows) checks.push_back(row->check);
  return checks;
}

}  // namespace

// A check that fails has told the user why.
bool FormUpdate::PassChecksBefore(CheckedRun run, const std::u16string& entry) {
  for (const Check check : ChecksOf(run)) {
    bool passed = true;
    switch (check) {
      case Check::kVersion: passed = PassVersionGate(); break;
      case Check::kVirtualStore: passed = !DataLeftInVirtualStore(); break;
      case Check::kSpace: passed = EnoughSpace(run, entry); break;
      case Check::kPackage: passed = PackageWhole(); break;
      case Check::kFilesFree: passed = DatabasesFree(); break;
      case Check::kDatabasesOpen: passed = InstalledDatabasesOpen(); break;
    }
    if (!passed) return false;
  }
  return true;
}

// Asks before going on when the package is not newer. False ends the update.
bool FormUpdate::PassVersionGate() {
  bool newer = false;
  ResumeNext([&] { newer = CompVer(); });
  if (newer) return true;
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(kNotNewerQuestion, MsgBoxButtons::kYesNo); });
  return answer == vbYes;
}

bool FormUpdate::CompVer() {
  std::optional<std::array<std::u16string, 6>> installed;
  std::optional<std::array<std::u16string, 6>> package;
  ResumeNext([&] { installed = GetFileVer(platform_, sInstallDir_ + u"\\Brevak.exe"); });
  ResumeNext([&] { package = GetFileVer(platform_, platform_.folders->AppPath() + u"\\Brevak.exe"); });
  // A record that could not be read fails the test, and the statement after
  // it answers True.
  if (!installed || !package) return true;
  return (*installed)[0] < (*package)[0];
}

// When Brevak ran without administrator rights on Vista or later, Windows
// redirected its writes under the installation folder into the user's
// VirtualStore: the copies there may be the shop's live data, and an update
// would back up and migrate the stale files instead. Every local account's
// store is looked in, since the user who ran Brevak need not be the one the
// tool runs as. The user is told where they are, and nothing changes. A
// folder that cannot be read is taken to hold nothing: the check must not
// stop an update on its own failure.
bool FormUpdate::DataLeftInVirtualStore() {
  std::vector<std::u16string> folders;
  ResumeNext([&] { folders = VirtualStoreFolders(platform_, sInstallDir_); });
  std::vector<std::u16string> found;
  for (const std::u16string& folder : folders) {
    bool holds = false;
    ResumeNext([&] { holds = HoldsDataFiles(platform_, folder); });
    if (holds) found.push_back(folder);
  }
  if (found.empty()) return false;
  ResumeNext([&] { window().MsgBox(prompt::DataLeftInVirtualStore(found), MsgBoxButtons::kOkOnly); });
  return true;
}

// An update needs room for its backup and the package; a restore for its
// safety copy and the files of `entry`.
bool FormUpdate::EnoughSpace(CheckedRun run, const std::u16string& entry) {
  std::u16string message;
  if (run == CheckedRun::kRestore) {
    const std::u16string source = sInstallDir_ + u"\\" + entry;
    const std::u16string problem = SpaceProblemFor(source, SourceList({source + u"\\*.*"}), /*migrates=*/false);
    if (problem.empty()) return true;
    message = prompt::SpaceShort(prompt::kRestore, problem);
  } else {
    std::u16string package;
    ResumeNext([&] { package = platform_.folders->AppPath(); });
    const std::u16string problem = SpaceProblemFor(package, PackageSourceList(), /*migrates=*/true);
    if (problem.empty()) return true;
    message = prompt::SpaceShort(prompt::kUpdate, problem);
  }
  ResumeNext([&] { window().MsgBox(message, MsgBoxButtons::kOkOnly); });
  return false;
}

// A file the package lacks is no damage: the copy leaves the installed
// one. A folder that cannot be read is left to the copies, as above.
bool FormUpdate::PackageWhole() {
  std::u16string package;
  try {
    package = platform_.folders->AppPath();
  } catch (const RunTimeError&) {
    return true;
  }
  const auto present = [&](const std::u16string& name) { return FileExists(package + u"\\" + name); };
  std::u16string problem;
  if (present(u"Brevak.exe") && !VersionReadable(platform_, package + u"\\Brevak.exe")) {
    problem = prompt::PackageProgramDamaged();
  }
  if (problem.empty() && present(kCustomerDatabase)) {
    problem = DatabaseProblem(package, kCustomerDatabase, kCustomerPassword);
  }
  if (problem.empty() && present(kAddressBook)) problem = DatabaseProblem(package, kAddressBook, u"");
  if (problem.empty()) return true;
  ResumeNext([&] { window().MsgBox(problem, MsgBoxButtons::kOkOnly); });
  return false;
}

// The database must open, read-only: the check writes nothing.
std::u16string FormUpdate::DatabaseProblem(const std::u16string& package, const std::u16string& name,
                                           const std::u16string& password) {
  const std::optional<std::u16string> error = ReadOnlyOpenError(package + u"\\" + name, password);
  if (!error) return u"";
  return prompt::PackageDatabaseDamaged(name, *error);
}

// Nothing may be copied over a database whose changes another program has
// not yet written, nor over the program while it runs, even with neither
// database open: Windows refuses to replace a running program's file, and
// the package's copy would stop halfway. The tool's own connection is
// closed first: it is no other user. An antivirus or a backup program may
// hold a file too, so the message names more than Brevak.
bool FormUpdate::DatabasesFree() {
  const std::u16string path = FileInUse();
  if (path.empty()) return true;
  ResumeNext([&] { window().MsgBox(prompt::FileInUse(path), MsgBoxButtons::kOkOnly); });
  return false;
}

std::u16string FormUpdate::FileInUse() {
  ResumeNext([&] { CloseConnIfOpen(); });
  struct Checked {
    const char16_t* name;
    const char16_t* password;
  };
  const Checked files[] = {{kCustomerDatabase, kCustomerPassword}, {kAddressBook, u""}, {u"Brevak.exe", u""}};
  for (const Checked& file : files) {
    const std::u16string path = sInstallDir_ + file.name;
    bool in_use = false;
    ResumeNext([&] { in_use = platform_.data_file_use->InUse(path, file.password); });
    if (in_use) return path;
  }
  return u"";
}

// The update's backup folder is named by the clock, read again while a
// folder of that name exists.
bool FormUpdate::NameBackupFolder() {
  const std::u16string folder = folders_.NameNew(sInstallDir_);
  if (folder.empty()) return false;
  sBackupDir_ = folder;
  return true;
}

}  // namespace brevak
