#include "platform/posix/database/sqlcipher_file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <system_error>

#include "platform/posix/database/derived_key.h"
#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/sqlcipher_statement.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// Reads the schema of `schema` once: the first read of a keyed file is
// where a wrong key shows. SQLCipher reports SQLITE_NOTADB for a wrong key,
// for a key on a plain file, for a missing key on a keyed file and for a
// file that is no database at all; Jet calls all of them a wrong password.
void VerifyKey(sqlite3* db, const std::string& schema) {
  const std::string sql = "SELECT count(*) FROM " + QuoteIdentifier(schema) + ".sqlite_master";
  sqlite3_stmt* raw = nullptr;
  // Preparing reads the schema, so the failure may come from either call.
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> read(raw, sqlite3_finalize);
  while (rc == SQLITE_OK || rc == SQLITE_ROW) rc = sqlite3_step(raw);
  if ((rc & 0xff) == SQLITE_NOTADB) throw jet_error::NotValidPassword();
  if (rc != SQLITE_DONE) throw SqliteFailure(db, rc);
}

RunTimeError OpenFailure(sqlite3* db, int rc, const fs::path& host, const std::u16string& path_as_given) {
  std::error_code ec;
  if (!fs::is_regular_file(host, ec)) return jet_error::CouldNotFindFile(path_as_given);
  if ((rc & 0xff) == SQLITE_NOTADB) return jet_error::NotValidPassword();
  return SqliteFailure(db, rc);
}

sqlite3* OpenWithKey(const fs::path& host, const std::u16string& path_as_given, const std::string& password) {
  sqlite3* db = nullptr;
  // Without SQLITE_OPEN_CREATE a file that vanished since it was located
  // fails here instead of being created.
  int rc = sqlite3_open_v2(host.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
  if (rc == SQLITE_OK && !password.empty()) {
    rc = sqlite3_key(db, password.data(), static_cast<int>(password.size()));
  }
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(db, kBusyTimeoutMilliseconds);
  try {
    if (rc != SQLITE_OK) throw OpenFailure(db, rc, host, path_as_given);
    VerifyKey(db, "main");
  } catch (...) {
    sqlite3_close_v2(db);
    throw;
  }
  return db;
}

void AttachWithKey(sqlite3* db, const fs::path& host, const std::u16string& path_as_given,
                   const std::string& alias, const std::string& password) {
  // A copy taken while a writer was half-way through a transaction carries
  // its rollback journal along. A read-only attachment cannot roll that
  // back and so cannot read the file at all; opening it for writing once
  // rolls it back to its last committed state first.
  std::error_code ec;
  if (fs::exists(fs::path(host.string() + "-journal"), ec)) {
    sqlite3_close_v2(OpenWithKey(host, path_as_given, password));
  }
  {
    // An explicit KEY, even an empty one, keeps SQLCipher from using the
    // key of the open database for the attached file.
    SqliteStatement attach(db, "ATTACH ?1 AS " + QuoteIdentifier(alias) + " KEY ?2");
    attach.BindText(1, ReadOnlyUri(host));
    attach.BindText(2, password);
    const int rc = attach.RunForCode();
    if (rc != SQLITE_DONE) throw OpenFailure(db, rc, host, path_as_given);
  }
  try {
    VerifyKey(db, alias);
  } catch (...) {
    SqliteStatement detach(db, "DETACH " + QuoteIdentifier(alias));
    detach.RunForCode();
    throw;
  }
}

// Runs `keyed` with the key derived once for the file's contents, and
// again with the password itself when that key is refused (a file keyed
// with other settings): a wrong password then fails as it always did. Any
// other failure would be the same with either key and is not retried.
// SQLite takes an empty file for an empty database, where Jet refuses it;
// and every SQLite or SQLCipher file is a whole number of pages of at
// least 512 bytes. A file of any other length is no database at all, with
// or without a key. (One of whole pages that no key opens cannot be told
// from one under another password, and is reported as that.)
void RequireDatabaseFormat(const fs::path& host, const std::u16string& path_as_given) {
  constexpr uintmax_t kSmallestPage = 512;
  std::error_code ec;
  const uintmax_t size = fs::file_size(host, ec);
  if (ec) return;  // the open reports what is wrong with it
  if (size == 0 || size % kSmallestPage != 0) throw jet_error::UnrecognizedDatabaseFormat(path_as_given);
}

template <typename Keyed>
auto WithDerivedKey(const fs::path& host, const std::string& password, Keyed keyed) {
  if (const std::optional<std::string> raw = RawKeyFor(host, password)) {
    try {
      return keyed(*raw);
    } catch (const RunTimeError& error) {
      if (error.number() != jet_error::kNotValidPassword) throw;
    }
  }
  return keyed(password);
}

}  // namespace

fs::path LocateDatabaseFile(const WinePrefix& prefix, const std::u16string& path_as_given) {
  std::error_code ec;
  const fs::path host = fs::absolute(prefix.ToHost(path_as_given), ec);
  if (path_as_given.empty() || ec || !fs::is_regular_file(host, ec)) {
    throw jet_error::CouldNotFindFile(path_as_given);
  }
  return host;
}

sqlite3* OpenDatabaseFile(const fs::path& host, const std::u16string& path_as_given,
                          const std::string& password) {
  RequireDatabaseFormat(host, path_as_given);
  return WithDerivedKey(host, password, [&](const std::string& key) { return OpenWithKey(host, path_as_given, key); });
}

void AttachDatabaseFile(sqlite3* db, const fs::path& host, const std::u16string& path_as_given,
                        const std::string& alias, const std::string& password) {
  RequireDatabaseFormat(host, path_as_given);
  WithDerivedKey(host, password, [&](const std::string& key) { AttachWithKey(db, host, path_as_given, alias, key); });
}

std::string ReadOnlyUri(const fs::path& host) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const char c : host.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
        byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/') {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xf];
    }
  }
  return uri + "?mode=ro";
}

}  // namespace brevak::posix
