#include "platform/posix/database/posix_data_file_use.h"

#include <sqlcipher/sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <memory>
#include <optional>

#include "platform/posix/database/derived_key.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

bool IsBusy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

// As fuser tells it: another process has the file open, idle or reading
// included (the Windows build's exclusive open refuses any open handle).
// Processes whose descriptors cannot be read are not counted.
bool OpenElsewhere(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  std::error_code ec;
  struct stat wanted {};
  if (::stat(file.c_str(), &wanted) != 0) return false;
  const std::string self = std::to_string(::getpid());
  for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    const std::string pid = proc->path().filename().string();
    if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code fd_ec;
    for (fs::directory_iterator fd(proc->path() / "fd", fd_ec); !fd_ec && fd != end; fd.increment(fd_ec)) {
      struct stat open_file {};
      if (::stat(fd->path().c_str(), &open_file) == 0 && open_file.st_dev == wanted.st_dev &&
          open_file.st_ino == wanted.st_ino) {
        return true;
      }
    }
  }
  return false;
}

// Takes SQLite's write lock on the file at once and lets it go; the code
// of the first step that failed, or SQLITE_OK. Without SQLITE_OPEN_CREATE
// nothing is created; no busy timeout: the check never waits for the other
// program.
int TryWriteLock(const std::filesystem::path& host, const std::string& key) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(host.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  const Handle db(raw, sqlite3_close_v2);
  if (rc != SQLITE_OK) return rc;
  if (!key.empty() && sqlite3_key(db.get(), key.data(), static_cast<int>(key.size())) != SQLITE_OK) {
    return SQLITE_NOTADB;
  }
  rc = sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  return rc;
}

}  // namespace

bool PosixDataFileUse::InUse(const std::u16string& path, const std::u16string& password) {
  std::error_code ec;
  const std::filesystem::path host = prefix_.ToHost(path);
  if (!std::filesystem::is_regular_file(host, ec)) return false;
  if (OpenElsewhere(host)) return true;
  const std::string key = Utf16ToUtf8(password);
  const std::optional<std::string> raw = RawKeyFor(host, key);
  int rc = raw ? TryWriteLock(host, *raw) : SQLITE_NOTADB;
  // No raw key, or one that does not open the file: the password itself.
  if ((rc & 0xff) == SQLITE_NOTADB) rc = TryWriteLock(host, key);
  return IsBusy(rc);
}

}  // namespace brevak::posix
