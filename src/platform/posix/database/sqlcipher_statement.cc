#include "platform/posix/database/sqlcipher_statement.h"

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

// Jet's wording for the kinds of failure a user can act on.
std::u16string JetWording(int primary_code) {
  switch (primary_code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return u"Could not update; currently locked by another session.";
    case SQLITE_READONLY: return u"Cannot update. Database or object is read-only.";
    case SQLITE_FULL: return u"Disk or network error: the disk is full.";
    case SQLITE_CONSTRAINT:
      return u"The changes you requested to the table were not successful because they would "
             u"break a rule of the table.";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return u"Unrecognized database format.";
    default: return u"The database engine could not complete the operation.";
  }
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) : db_(db) {
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement_, nullptr);
  if (rc != SQLITE_OK) throw SqliteFailure(db, rc);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::BindText(int index, const std::string& text) {
  const int rc = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) throw SqliteFailure(db_, rc);
}

bool SqliteStatement::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw SqliteFailure(db_, rc);
}

int SqliteStatement::RunForCode() {
  int rc;
  while ((rc = sqlite3_step(statement_)) == SQLITE_ROW) {
  }
  return rc;
}

void SqliteStatement::Run() {
  const int rc = RunForCode();
  if (rc != SQLITE_DONE) throw SqliteFailure(db_, rc);
}

void RunSql(sqlite3* db, const std::string& sql) { SqliteStatement(db, sql).Run(); }

std::string SqliteStatement::ColumnText(int column) {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

RunTimeError SqliteFailure(sqlite3* db, int result_code) {
  const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result_code);
  return {jet_error::kGeneralFailure,
          JetWording(result_code & 0xff) + u" (" + Utf8ToUtf16(message) + u")"};
}

std::string QuoteIdentifier(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace brevak::posix
