#include "support/blackbox_tables.h"

#include <sqlcipher/sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace brevak::testing {
namespace fs = std::filesystem;
namespace {

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory"));
}

std::string Quote(const std::string& text, char mark) {
  std::string quoted(1, mark);
  for (char c : text) {
    if (c == mark) quoted += mark;
    quoted += c;
  }
  return quoted + mark;
}

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) Fail(db, sql);
  return Statement(raw, sqlite3_finalize);
}

// Steps `statement` to its end, calling `row` for each row.
template <typename Row>
void EachRow(sqlite3* db, sqlite3_stmt* statement, Row row) {
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) row(statement);
  if (rc != SQLITE_DONE) Fail(db, sqlite3_sql(statement));
}

void Mix(uint64_t& hash, const void* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 0x100000001b3ull;
  }
}

void MixCell(uint64_t& hash, sqlite3_stmt* statement, int column) {
  const unsigned char type = static_cast<unsigned char>(sqlite3_column_type(statement, column));
  Mix(hash, &type, 1);
  const void* bytes = sqlite3_column_blob(statement, column);
  const uint64_t size = static_cast<uint64_t>(sqlite3_column_bytes(statement, column));
  Mix(hash, &size, sizeof size);
  if (bytes != nullptr) Mix(hash, bytes, size);
}

}  // namespace

DbReader::DbReader(const fs::path& file, const std::string& key) {
  if (!fs::is_regular_file(file)) throw std::runtime_error("no such file: " + file.string());
  const int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) Fail(db_, "cannot open " + file.string());
  if (!key.empty()) Exec("PRAGMA key = " + Quote(key, '\''));
}

DbReader::~DbReader() { sqlite3_close_v2(db_); }

TableDigest DbReader::Digest(const std::string& table, const std::vector<std::string>& fields) {
  std::string list;
  for (const std::string& field : fields) list += (list.empty() ? "" : ", ") + Quote(field, '"');
  Statement select = Prepare(db_, "SELECT " + (list.empty() ? std::string("*") : list) + " FROM " +
                                      Quote(table, '"') + " ORDER BY rowid");
  TableDigest digest;
  uint64_t hash = 0xcbf29ce484222325ull;
  EachRow(db_, select.get(), [&](sqlite3_stmt* row) {
    ++digest.rows;
    for (int column = 0; column < sqlite3_column_count(row); ++column) MixCell(hash, row, column);
  });
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  digest.hash = text;
  return digest;
}

std::vector<std::string> DbReader::Column(const std::string& query, int column) {
  Statement statement = Prepare(db_, query);
  std::vector<std::string> values;
  EachRow(db_, statement.get(), [&](sqlite3_stmt* row) {
    const unsigned char* text = sqlite3_column_text(row, column);
    values.push_back(text == nullptr ? "NULL" : reinterpret_cast<const char*>(text));
  });
  return values;
}

std::vector<std::string> DbReader::Tables() {
  return Column("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                "ESCAPE '\\' ORDER BY rowid");
}

bool DbReader::HasTable(const std::string& table) {
  return Column("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = " + Quote(table, '\'')) !=
         std::vector<std::string>{"0"};
}

std::vector<std::string> DbReader::Fields(const std::string& table) {
  return Column("PRAGMA table_info(" + Quote(table, '"') + ")", 1);
}

std::string DbReader::IntegrityCheck() {
  std::string result;
  for (const std::string& line : Column("PRAGMA integrity_check")) result += (result.empty() ? "" : "\n") + line;
  return result;
}

void DbReader::Exec(const std::string& sql) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db_, sql);
}

std::vector<std::string> FieldNames(const fs::path& file, const std::string& key, const std::string& table) {
  return DbReader(file, key).Fields(table);
}

std::vector<std::string> QueryColumn(const fs::path& file, const std::string& key, const std::string& query) {
  return DbReader(file, key).Column(query);
}

std::string IntegrityCheck(const fs::path& file, const std::string& key) {
  return DbReader(file, key).IntegrityCheck();
}

void ExecSql(const fs::path& file, const std::string& key, const std::string& sql) {
  DbReader(file, key).Exec(sql);
}

void LeaveHotJournal(const fs::path& file, const std::string& key, const std::string& sql) {
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    try {
      DbReader writer(file, key);
      writer.Exec("PRAGMA cache_size = 1; BEGIN; " + sql);
      _exit(0);  // no commit, no close: the journal stays hot
    } catch (...) {
      _exit(1);
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("could not change " + file.string());
}

}  // namespace brevak::testing
