#ifndef BREVAK_PLATFORM_POSIX_DATABASE_STORED_TABLES_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_STORED_TABLES_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <string>

#include "platform/posix/database/jet_sql.h"

// The tables a database holds, as a Jet statement names them.
namespace brevak::posix::stored_tables {

// The stored name of table `name` in `schema`, found ignoring case; raises
// Jet's "cannot find the input table" naming `name` as given. The engine's
// own tables (sqlite_...) are no tables of the database.
std::string Find(sqlite3* db, const std::string& schema, const std::u16string& name);

// The table `name` of `schema`, found as Find finds it, with its fields.
jet_sql::StoredTable FindWithFields(sqlite3* db, const std::string& schema, const std::u16string& name);

// The rows of `table` of `schema`, read from every page of it.
int64_t CountRows(sqlite3* db, const std::string& schema, const std::string& table);

}  // namespace brevak::posix::stored_tables

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_STORED_TABLES_H_
