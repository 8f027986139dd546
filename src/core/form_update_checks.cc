// What guards the user's data around the copies: the checks made before an
// update changes anything, the removal of a backup that did not complete,
// and the backup taken before a restore.
#include <span>
#include <vector>

#include "platform/file_pattern.h"
#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/module_file_ver.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// What the backup request and the package request take, by the last
// component of their patterns.
const char16_t* const kBackupPatterns[] = {u"*.car", u"*.mdb", u"Brevak.*", u"*.ini"};
const char16_t* const kPackagePatterns[] = {u"*.car",  u"*.mdb",    u"vkUserControlsXP.*",
                                            u"adb*.*", u"Brevak.*", u"*.ini"};

const char16_t kPackageBroken[] = u"升级没有进行，现有数据没有改动。请重新获取完整的升级包后再升级。";

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

// A file counts once, however many patterns take it (Brevak.ini).
int64_t SizeMatching(const std::vector<FileSize>& files, std::span<const char16_t* const> patterns) {
  int64_t total = 0;
  for (const FileSize& file : files) {
    for (const char16_t* pattern : patterns) {
      if (MatchesFilePattern(pattern, file.name)) {
        total += file.size;
        break;
      }
    }
  }
  return total;
}

int64_t SizeNamed(const std::vector<FileSize>& files, const std::u16string& name) {
  const char16_t* const only[] = {name.c_str()};
  return SizeMatching(files, only);
}

// Megabytes, rounded up for what is needed and down for what is there.
std::u16string MegabytesUp(int64_t bytes) { return vb::CStr((bytes + kMegabyte - 1) / kMegabyte); }
std::u16string MegabytesDown(int64_t bytes) { return vb::CStr(bytes / kMegabyte); }

// Why a copy request did not complete, in the user's words; empty when it
// did.
std::u16string CopyFailure(Platform& platform, SHFILEOPSTRUCT& request) {
  int32_t result = 0;
  int32_t last_error = 0;
  try {
    result = SHFileOperation(platform, request, &last_error);
  } catch (const RunTimeError& e) {
    return u"无法执行文件复制：" + e.description();
  }
  if (result == ERROR_CANCELLED) return u"复制被取消";
  if (result != 0) return u"复制失败，错误代码 " + vb::CStr(last_error);
  if (request.fAnyOperationsAborted != 0) return u"复制被中止";
  return u"";
}

}  // namespace

bool FormUpdate::PassPreUpdateChecks() {
  std::u16string problem = SpaceProblem();
  if (problem.empty()) problem = PackageProblem();
  if (problem.empty()) return true;
  ResumeNext([&] { window().MsgBox(problem, MsgBoxButtons::kOkOnly); });
  return false;
}

// The drive must hold the backup, the package's files and the migrated
// databases, with a margin of a tenth and a megabyte. A drive or folder
// that cannot be read is not measured: the copies report their own
// failures, and a check must not stop an update the copies could make.
std::u16string FormUpdate::SpaceProblem() {
  int64_t needed = 0;
  int64_t available = 0;
  try {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::vector<FileSize> installed = ListFiles(*fso, sInstallDir_);
    const std::vector<FileSize> package = ListFiles(*fso, platform_.folders->AppPath());
    needed = SizeMatching(installed, kBackupPatterns) + SizeMatching(package, kPackagePatterns) +
             SizeNamed(installed, kCustomerDatabase) + SizeNamed(installed, kAddressBook);
    needed += needed / 10 + kMegabyte;
    available = fso->AvailableSpace(sInstallDir_);
  } catch (const RunTimeError&) {
    return u"";
  }
  if (available >= needed) return u"";
  return u"磁盘空间不足，升级没有进行，现有数据没有改动。" + vb::vbCrLf + u"备份和升级需要 " +
         MegabytesUp(needed) + u" MB，安装文件夹所在的磁盘只有 " + MegabytesDown(available) +
         u" MB 可用。" + vb::vbCrLf + u"请先释放磁盘空间，再开始更新。";
}

// A file the package lacks is no damage: the copy leaves the installed
// one. A folder that cannot be read is left to the copies, as above.
std::u16string FormUpdate::PackageProblem() {
  std::u16string package;
  try {
    package = platform_.folders->AppPath();
  } catch (const RunTimeError&) {
    return u"";
  }
  const auto present = [&](const std::u16string& name) { return FileExists(package + u"\\" + name); };
  std::u16string problem;
  if (present(u"Brevak.exe")) problem = ProgramProblem(package + u"\\Brevak.exe");
  if (problem.empty() && present(kCustomerDatabase)) {
    problem = DatabaseProblem(package, kCustomerDatabase, kCustomerPassword);
  }
  if (problem.empty() && present(kAddressBook)) problem = DatabaseProblem(package, kAddressBook, u"");
  return problem;
}

// The program must carry a version that can be read.
std::u16string FormUpdate::ProgramProblem(const std::u16string& path) {
  std::u16string version;
  ResumeNext([&] { version = GetFileVer(platform_, path)[0]; });
  if (!version.empty()) return u"";
  return u"升级包中的 Brevak.exe 已损坏：读不出它的版本信息。" + vb::vbCrLf + kPackageBroken;
}

// The database must open, read-only: the check writes nothing.
std::u16string FormUpdate::DatabaseProblem(const std::u16string& package, const std::u16string& name,
                                           const std::u16string& password) {
  try {
    const std::unique_ptr<Connection> connection = platform_.database->CreateConnection(u"Adodb.Connection");
    connection->SetProvider(kProvider);
    connection->Open(ConnectionString(package + u"\\" + name, password) + u";Mode=Read");
    connection->Close();
  } catch (const RunTimeError& e) {
    return u"升级包中的数据库 " + name + u" 无法打开：" + e.description() + vb::vbCrLf + kPackageBroken;
  }
  return u"";
}

bool FormUpdate::RunBackupRequest(SHFILEOPSTRUCT& request) {
  const bool existed = FolderExists(sBackupDir_);
  if (RunCopyRequest(request, /*stop_when_aborted=*/true)) return true;
  if (!existed) RemoveFolder(sBackupDir_);
  return false;
}

// The restore's backup is taken like an update's, into a folder of its own
// that the history then lists; when it cannot be made whole, nothing is
// restored.
bool FormUpdate::BackUpBeforeRestore() {
  const std::u16string folder = NameRestoreBackupFolder();
  if (folder.empty()) return false;  // the user has been told why
  SHFILEOPSTRUCT request;
  request.hwnd = static_cast<int32_t>(window().hWnd());
  request.wFunc = static_cast<int32_t>(FO_COPY);
  request.pFrom = BackupSourceList();
  request.pTo = folder + u"\\";
  request.fFlags = kBackupFlags;
  const std::u16string failure = CopyFailure(platform_, request);
  if (failure.empty()) return true;
  RemoveFolder(folder);
  window().MsgBox(u"恢复没有进行：恢复之前未能备份现有数据（" + failure + u"）。" + vb::vbCrLf +
                      u"现有数据没有改动。",
                  MsgBoxButtons::kOkOnly);
  return false;
}

// Named as an update names its backup, while sBackupDir keeps naming the
// last update's backup, from which that update's migration read.
std::u16string FormUpdate::NameRestoreBackupFolder() {
  const std::u16string update_backup = sBackupDir_;
  sBackupDir_.clear();
  const std::u16string folder = NameNewBackupFolder() ? sBackupDir_ : u"";
  sBackupDir_ = update_backup;
  return folder;
}

bool FormUpdate::FolderExists(const std::u16string& folder) {
  bool exists = true;
  ResumeNext([&] { exists = platform_.folders->CreateFileSystemObject()->FolderExists(folder); });
  return exists;
}

bool FormUpdate::FileExists(const std::u16string& path) {
  bool exists = false;
  ResumeNext([&] { exists = platform_.folders->CreateFileSystemObject()->FileExists(path); });
  return exists;
}

void FormUpdate::RemoveFolder(const std::u16string& folder) {
  if (!FolderExists(folder)) return;
  ResumeNext([&] { platform_.folders->CreateFileSystemObject()->DeleteFolder(folder); });
}

}  // namespace brevak
