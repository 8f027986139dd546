#include "platform/posix/database/attached_files.h"

#include <filesystem>
#include <system_error>

#include "platform/posix/database/page_cache_tap.h"
#include "platform/posix/database/sqlcipher_file.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// Pages of an attached backup kept in its cache (see Attach).
constexpr int kBackupCachePages = 64;

}  // namespace

std::string AttachedFiles::AliasOf(sqlite3* db, ReplayableTransaction& transaction, const std::u16string& path,
                                   const std::u16string& password) {
  const fs::path host = LocateDatabaseFile(prefix_, path);
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(host, ec);
  const Key key((ec ? host : canonical).string(), Utf16ToUtf8(password));
  if (const auto found = aliases_.find(key); found != aliases_.end()) return found->second;
  const std::string alias = "external" + std::to_string(++aliases_made_);
  transaction.SetAsideFor(db, [&] { Attach(db, host.string(), path, alias, key); });
  return alias;
}

void AttachedFiles::Forget() {
  aliases_.clear();
  cache_tags_.clear();
}

void AttachedFiles::Attach(sqlite3* db, const std::string& host, const std::u16string& path_as_given,
                           const std::string& alias, const Key& key) {
  const uint64_t tag = page_cache_tap::NewTag();
  {
    const page_cache_tap::TagScope tagged(tag);
    AttachDatabaseFile(db, host, path_as_given, alias, key.second);
  }
  aliases_.emplace(key, alias);
  cache_tags_[alias] = tag;
  // Pages mapped from the file would pass the page cache by, and an
  // append's reads with them. An append reads each page of the backup once,
  // so the cache need hold little more than the path from the table's root
  // to the page being read.
  RunSql(db, "PRAGMA " + QuoteIdentifier(alias) + ".mmap_size = 0");
  RunSql(db, "PRAGMA " + QuoteIdentifier(alias) + ".cache_size = " + std::to_string(kBackupCachePages));
}

}  // namespace brevak::posix
