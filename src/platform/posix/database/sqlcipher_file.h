#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_FILE_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_FILE_H_

#include <sqlcipher/sqlite3.h>

#include <filesystem>
#include <string>

#include "platform/posix/prefix/wine_prefix.h"

// Opening and attaching the database files that stand in for Jet files: a
// file with a database password is an SQLCipher file keyed with it (the
// password's UTF-8 bytes, as the sqlcipher shell's PRAGMA key takes them);
// a file without one is a plain SQLite 3 file. Failures raise Jet's errors;
// a file is never created.
namespace brevak::posix {

// How long a statement waits for a file another process has locked.
inline constexpr int kBusyTimeoutMilliseconds = 5000;

// The host file a Jet data source names (a path without a drive is taken
// from the current folder). Raises "Could not find file" (with the path as
// given) unless it is an existing regular file.
std::filesystem::path LocateDatabaseFile(const WinePrefix& prefix, const std::u16string& path_as_given);

// Opens `host` for reading and writing, keyed with `password` (empty: a
// plain file), with the busy timeout set. Raises "Unrecognized database
// format" for an empty file or one whose length is no whole number of
// pages, and "Not a valid password." when the key does not open the file
// (also for a file of whole pages that is no database).
// The caller owns the handle and closes it with sqlite3_close_v2.
sqlite3* OpenDatabaseFile(const std::filesystem::path& host, const std::u16string& path_as_given,
                          const std::string& password);

// Attaches `host` to `db` as `alias`, read-only, keyed with `password`
// (empty: a plain file, whatever the key of `db`), with the same checks as
// OpenDatabaseFile. REQUIRES: no transaction is open on `db`.
void AttachDatabaseFile(sqlite3* db, const std::filesystem::path& host,
                        const std::u16string& path_as_given, const std::string& alias,
                        const std::string& password);

// The "file:" URI that opens `host` read-only, every byte outside the
// unreserved set and '/' percent-encoded.
std::string ReadOnlyUri(const std::filesystem::path& host);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_FILE_H_
