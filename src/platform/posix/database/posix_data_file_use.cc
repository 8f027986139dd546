#include "platform/posix/database/posix_data_file_use.h"

#include <sqlcipher/sqlite3.h>

#include <filesystem>
#include <memory>

#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

bool IsBusy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

}  // namespace

bool PosixDataFileUse::InUse(const std::u16string& path, const std::u16string& password) {
  std::error_code ec;
  const std::filesystem::path host = prefix_.ToHost(path);
  if (!std::filesystem::is_regular_file(host, ec)) return false;
  sqlite3* raw = nullptr;
  // Without SQLITE_OPEN_CREATE nothing is created; no busy timeout: the
  // check never waits for the other program.
  int rc = sqlite3_open_v2(host.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  const Handle db(raw, sqlite3_close_v2);
  if (rc != SQLITE_OK) return IsBusy(rc);
  const std::string key = Utf16ToUtf8(password);
  if (!key.empty() && sqlite3_key(db.get(), key.data(), static_cast<int>(key.size())) != SQLITE_OK) return false;
  rc = sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  return IsBusy(rc);
}

}  // namespace brevak::posix
