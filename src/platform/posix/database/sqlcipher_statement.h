#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_STATEMENT_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_STATEMENT_H_

#include <sqlcipher/sqlite3.h>

#include <string>

#include "platform/runtime_error.h"

namespace brevak::posix {

// A prepared statement, finalized when it goes out of scope. Every failure
// raises a RunTimeError through SqliteFailure.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Binds UTF-8 text to parameter `index` (from 1).
  void BindText(int index, const std::string& text);
  // Runs one step: true when a row is ready, false when the statement is
  // done.
  bool Step();
  // Steps until done; returns the result code so that the caller may treat
  // some failures specially (SQLITE_DONE on success, never raises).
  int RunForCode();
  // Steps until done; raises on failure.
  void Run();
  // Column `column` (from 0) of the current row as UTF-8 text ("" for NULL).
  std::string ColumnText(int column);

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// Prepares and runs `sql` (one statement) on `db`; raises on failure.
void RunSql(sqlite3* db, const std::string& sql);

// The Jet-style error for a failed sqlite call: Jet's general failure
// number, with a description naming the kind of failure and sqlite's own
// message.
RunTimeError SqliteFailure(sqlite3* db, int result_code);

// `name` as a quoted SQL identifier in UTF-8: "name", inner quotes doubled.
std::string QuoteIdentifier(const std::string& name);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_STATEMENT_H_
