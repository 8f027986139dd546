#include "support/blackbox_tables.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace brevak::testing {
namespace fs = std::filesystem;
namespace {

void Mix(uint64_t& hash, const void* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 0x100000001b3ull;
  }
}

void MixCell(uint64_t& hash, shop::Statement& statement, int column) {
  const unsigned char type = static_cast<unsigned char>(statement.ColumnType(column));
  Mix(hash, &type, 1);
  const std::string bytes = statement.ColumnBytes(column);
  const uint64_t size = bytes.size();
  Mix(hash, &size, sizeof size);
  Mix(hash, bytes.data(), bytes.size());
}

// The file must exist: the reader never creates one.
const fs::path& ExistingFile(const fs::path& file) {
  if (!fs::is_regular_file(file)) throw std::runtime_error("no such file: " + file.string());
  return file;
}

}  // namespace

DbReader::DbReader(const fs::path& file, const std::string& key)
    : db_(ExistingFile(file), key, /*create=*/false) {}

TableDigest DbReader::Digest(const std::string& table, const std::vector<std::string>& fields) {
  std::string list;
  for (const std::string& field : fields) {
    if (!list.empty()) list += ", ";
    list += shop::QuoteName(field);
  }
  shop::Statement select(db_.handle(), "SELECT " + (list.empty() ? std::string("*") : list) + " FROM " +
                                           shop::QuoteName(table) + " ORDER BY rowid");
  TableDigest digest;
  uint64_t hash = 0xcbf29ce484222325ull;
  while (select.Step()) {
    ++digest.rows;
    for (int column = 0; column < select.ColumnCount(); ++column) MixCell(hash, select, column);
  }
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  digest.hash = text;
  return digest;
}

std::vector<std::string> DbReader::Column(const std::string& query, int column) {
  shop::Statement statement(db_.handle(), query);
  std::vector<std::string> values;
  while (statement.Step()) {
    values.push_back(statement.ColumnType(column) == SQLITE_NULL ? "NULL" : statement.ColumnText(column));
  }
  return values;
}

std::vector<std::string> DbReader::Tables() {
  return Column("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                "ESCAPE '\\' ORDER BY rowid");
}

bool DbReader::HasTable(const std::string& table) {
  return Column("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = " + shop::QuoteText(table)) !=
         std::vector<std::string>{"0"};
}

std::vector<std::string> DbReader::Fields(const std::string& table) {
  return Column("PRAGMA table_info(" + shop::QuoteName(table) + ")", 1);
}

std::string DbReader::IntegrityCheck() {
  std::string result;
  for (const std::string& line : Column("PRAGMA integrity_check")) result += (result.empty() ? "" : "\n") + line;
  return result;
}

void DbReader::Exec(const std::string& sql) { db_.Exec(sql); }

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
