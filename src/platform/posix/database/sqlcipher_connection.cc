#include "platform/posix/database/sqlcipher_connection.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <system_error>

#include "platform/posix/database/jet_connection_string.h"
#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/jet_text.h"
#include "platform/posix/database/page_cache_tap.h"
#include "platform/posix/database/sqlcipher_file.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

constexpr std::u16string_view kJetProvider = u"Microsoft.Jet.OLEDB.4.0";

// Pages of an attached backup kept in its cache (see Attach).
constexpr int kBackupCachePages = 64;

// SQLite compares table and column names ignoring ASCII case, as Jet does.
bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return jet_text::FoldCase(static_cast<unsigned char>(x)) ==
           jet_text::FoldCase(static_cast<unsigned char>(y));
  });
}

// " (target fields) SELECT source fields" pairing each source field with
// the target field of its name.
std::string FieldsByName(const std::vector<std::string>& source_fields,
                         const std::vector<std::string>& target_fields) {
  std::string into;
  std::string select;
  for (const std::string& field : source_fields) {
    const auto match = std::find_if(target_fields.begin(), target_fields.end(),
                                    [&](const std::string& name) { return SameName(name, field); });
    if (match == target_fields.end()) throw jet_error::UnknownFieldName(Utf8ToUtf16(field));
    if (!into.empty()) {
      into += ", ";
      select += ", ";
    }
    into += QuoteIdentifier(*match);
    select += QuoteIdentifier(field);
  }
  return std::string(" (").append(into).append(") SELECT ").append(select);
}

// For clean-up on a path that is already failing: nothing left to report.
void RollbackQuietly(sqlite3* db) {
  if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace

SqlCipherConnection::SqlCipherConnection(const WinePrefix& prefix) : prefix_(prefix) {}

SqlCipherConnection::~SqlCipherConnection() {
  if (db_ == nullptr) return;
  RollbackQuietly(db_);
  sqlite3_close_v2(db_);
}

void SqlCipherConnection::SetProvider(const std::u16string& provider) {
  if (db_ != nullptr) throw jet_error::ObjectOpen();
  provider_ = provider;
}

void SqlCipherConnection::Open(const std::u16string& connection_string) {
  if (db_ != nullptr) throw jet_error::ObjectOpen();
  const JetConnectionString parsed = ParseJetConnectionString(connection_string);
  if (!parsed.provider.empty()) provider_ = parsed.provider;
  if (!jet_text::EqualsIgnoringCase(jet_text::Trim(provider_), kJetProvider)) {
    throw jet_error::ProviderNotFound();
  }
  const fs::path host = LocateDatabaseFile(prefix_, parsed.data_source);
  db_ = OpenDatabaseFile(host, parsed.data_source, Utf16ToUtf8(parsed.password));
}

void SqlCipherConnection::Execute(const std::u16string& statement) {
  RequireOpen();
  if (transaction_.lost) throw jet_error::TransactionLost();
  RunParsed(ParseJetStatement(statement));
}

int32_t SqlCipherConnection::ExecuteCount(const std::u16string& statement) {
  RequireOpen();
  if (transaction_.lost) throw jet_error::TransactionLost();
  const JetStatement parsed = ParseJetStatement(statement);
  const auto* count = std::get_if<JetCountRows>(&parsed);
  if (count == nullptr) {
    RunParsed(parsed);
    throw jet_error::ObjectClosed();
  }
  const int64_t rows = RowsOf(*count);
  if (rows > INT32_MAX) throw vb_error::Raise(vb_error::kOverflow);
  return static_cast<int32_t>(rows);
}

// Counting a table reads and decrypts every page of it; the table an
// append has just filled is answered from the append's own figure.
int64_t SqlCipherConnection::RowsOf(const JetCountRows& statement) {
  if (!statement.database.empty()) {
    const std::string alias = ExternalDatabase(statement.database, statement.password);
    const std::string table = FindTable(alias, statement.table);
    if (counted_source_ && counted_source_->alias == alias && counted_source_->table == table) {
      return counted_source_->rows;
    }
    return CountRows(alias, table);
  }
  const std::string table = FindTable("main", statement.table);
  if (appended_ && appended_->table == table) return appended_->rows;
  return CountRows("main", table);
}

int64_t SqlCipherConnection::CountRows(const std::string& schema, const std::string& table) {
  SqliteStatement query(db_, "SELECT count(*) FROM " + QuoteIdentifier(schema) + "." + QuoteIdentifier(table));
  if (!query.Step()) throw jet_error::ObjectClosed();
  return std::stoll(query.ColumnText(0));
}

void SqlCipherConnection::RunParsed(const JetStatement& statement) {
  appended_.reset();
  if (const auto* append = std::get_if<JetAppendFromFile>(&statement)) {
    RunAppend(*append);
  } else if (const auto* remove = std::get_if<JetDeleteAll>(&statement)) {
    RunStatement(BuildDelete(*remove));
  } else {
    // A count run for nothing changes nothing and needs no place in the
    // transaction's log.
    SqliteStatement(db_, BuildCount(std::get<JetCountRows>(statement))).Run();
  }
}

// Inside a transaction the append is counted on both sides as it runs: the
// rows it inserted, added to what the table held before it, where nothing
// but the append can change the table's rows; and the rows on the backup
// table's pages as the append reads them, which owe nothing to what it
// inserted.
void SqlCipherConnection::RunAppend(const JetAppendFromFile& statement) {
  const AppendPlan plan = PlanAppend(statement);  // attaches the backup first when it must
  counted_source_.reset();
  if (!transaction_.active) {
    RunStatement(plan.sql);
    return;
  }
  std::optional<int64_t> before;
  if (InsertsCountExactly(plan.target)) before = CountRows("main", plan.target);
  page_cache_tap::LeafRowCount read(cache_tags_.at(plan.alias), RootPage(plan.alias, plan.source));
  RunStatement(plan.sql);
  if (sqlite3_get_autocommit(db_)) return;
  if (before) appended_ = AppendedRows{plan.target, *before + sqlite3_changes(db_)};
  if (const std::optional<int64_t> rows = read.Rows()) {
    counted_source_ = CountedSource{plan.alias, plan.source, *rows};
  }
}

// 0, a page no table has, when the table is not found.
uint32_t SqlCipherConnection::RootPage(const std::string& schema, const std::string& table) {
  SqliteStatement find(db_, "SELECT rootpage FROM " + QuoteIdentifier(schema) +
                                ".sqlite_master WHERE type = 'table' AND name = ?1");
  find.BindText(1, table);
  return find.Step() ? static_cast<uint32_t>(std::stoul(find.ColumnText(0))) : 0;
}

// sqlite3_changes() leaves out what triggers do and the rows a REPLACE
// conflict clause deletes; a table that may have either is counted. The
// test for REPLACE reads the table's whole definition, so a field or a
// default that merely contains the word only costs the count.
bool SqlCipherConnection::InsertsCountExactly(const std::string& table) {
  SqliteStatement check(db_,
                        "SELECT NOT EXISTS (SELECT 1 FROM \"main\".sqlite_master WHERE type = 'trigger'"
                        " AND tbl_name = ?1 COLLATE NOCASE)"
                        " AND NOT EXISTS (SELECT 1 FROM sqlite_temp_master WHERE type = 'trigger'"
                        " AND tbl_name = ?1 COLLATE NOCASE)"
                        " AND EXISTS (SELECT 1 FROM \"main\".sqlite_master WHERE type = 'table' AND name = ?1"
                        " AND sql LIKE 'CREATE TABLE%' AND sql NOT LIKE '%REPLACE%')");
  check.BindText(1, table);
  return check.Step() && check.ColumnText(0) == "1";
}

void SqlCipherConnection::Close() {
  RequireOpen();
  // Closing with a transaction open undoes it, as Jet does.
  RollbackQuietly(db_);
  sqlite3_close_v2(db_);
  db_ = nullptr;
  attached_.clear();
  cache_tags_.clear();
  EndTransaction();
}

int32_t SqlCipherConnection::State() { return db_ != nullptr ? adStateOpen : adStateClosed; }

// Transactions do not nest: a second BeginTrans is refused. The transaction
// is a deferred one: BEGIN IMMEDIATE would take a write lock on every
// attached file as well, which the read-only backups refuse. Its write lock
// on the open file is taken by its first delete or append, waiting out a
// brief lock; only when another writer is already half-way through a
// transaction on the same file does the statement fail at once (waiting
// could never end, as that writer waits for this reader).
void SqlCipherConnection::BeginTrans() {
  RequireOpen();
  if (transaction_.active) throw jet_error::TransactionExists();
  RunSql("BEGIN");
  transaction_.active = true;
}

void SqlCipherConnection::CommitTrans() {
  RequireOpen();
  if (!transaction_.active) throw jet_error::NoTransaction();
  if (transaction_.lost) {
    EndTransaction();
    throw jet_error::TransactionLost();
  }
  try {
    RunSql("COMMIT");
  } catch (const RunTimeError&) {
    // A commit that could not take its locks leaves the transaction open
    // for another attempt or a rollback; one the engine undid is over.
    if (sqlite3_get_autocommit(db_)) EndTransaction();
    throw;
  }
  EndTransaction();
}

void SqlCipherConnection::RollbackTrans() {
  RequireOpen();
  if (!transaction_.active) throw jet_error::NoTransaction();
  if (!sqlite3_get_autocommit(db_)) RunSql("ROLLBACK");
  EndTransaction();
}

void SqlCipherConnection::RequireOpen() const {
  if (db_ == nullptr) throw jet_error::ObjectClosed();
}

std::string SqlCipherConnection::BuildDelete(const JetDeleteAll& statement) {
  return "DELETE FROM \"main\"." + QuoteIdentifier(FindTable("main", statement.table));
}

// Jet appends by field name: every field of the source must exist in the
// target (ignoring case), and a target field the source lacks takes its
// default. Where both tables have the same fields in the same order,
// SELECT * means the same and lets SQLite move the records without decoding
// them (its transfer optimisation); elsewhere the fields are named.
SqlCipherConnection::AppendPlan SqlCipherConnection::PlanAppend(const JetAppendFromFile& statement) {
  const std::string target = FindTable("main", statement.target);
  const std::string alias = ExternalDatabase(statement.database, statement.password);
  const std::string source = FindTable(alias, statement.source);
  const std::vector<std::string> target_fields = ColumnNames("main", target);
  const std::vector<std::string> source_fields = ColumnNames(alias, source);
  std::string sql = "INSERT INTO \"main\".";
  sql += QuoteIdentifier(target);
  const bool same_fields = std::equal(source_fields.begin(), source_fields.end(), target_fields.begin(),
                                      target_fields.end(), SameName);
  sql += same_fields ? " SELECT *" : FieldsByName(source_fields, target_fields);
  sql += " FROM ";
  sql += QuoteIdentifier(alias);
  sql += ".";
  sql += QuoteIdentifier(source);
  return {sql, target, alias, source};
}

std::string SqlCipherConnection::BuildCount(const JetCountRows& statement) {
  const std::string schema =
      statement.database.empty() ? "main" : ExternalDatabase(statement.database, statement.password);
  return "SELECT count(*) FROM " + QuoteIdentifier(schema) + "." +
         QuoteIdentifier(FindTable(schema, statement.table));
}

// The engine's own tables (sqlite_...) are no tables of the database.
std::string SqlCipherConnection::FindTable(const std::string& schema, const std::u16string& name) {
  SqliteStatement find(db_, "SELECT name FROM " + QuoteIdentifier(schema) +
                                ".sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"
                                " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
  find.BindText(1, Utf16ToUtf8(name));
  if (!find.Step()) throw jet_error::InputTableNotFound(name);
  return find.ColumnText(0);
}

std::vector<std::string> SqlCipherConnection::ColumnNames(const std::string& schema,
                                                          const std::string& table) {
  // PRAGMA takes no bound parameters; both names are quoted identifiers.
  SqliteStatement info(db_, "PRAGMA " + QuoteIdentifier(schema) + ".table_info(" +
                                QuoteIdentifier(table) + ")");
  std::vector<std::string> names;
  while (info.Step()) names.push_back(info.ColumnText(1));
  return names;
}

std::string SqlCipherConnection::ExternalDatabase(const std::u16string& path,
                                                  const std::u16string& password) {
  const fs::path host = LocateDatabaseFile(prefix_, path);
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(host, ec);
  const auto key = std::make_pair((ec ? host : canonical).string(), Utf16ToUtf8(password));
  if (const auto found = attached_.find(key); found != attached_.end()) return found->second;
  const std::string alias = "external" + std::to_string(++aliases_made_);
  AttachAsideTransaction(host.string(), path, alias, key);
  return alias;
}

void SqlCipherConnection::Attach(const std::string& host, const std::u16string& path_as_given,
                                 const std::string& alias, const AttachKey& key) {
  const uint64_t tag = page_cache_tap::NewTag();
  {
    const page_cache_tap::TagScope tagged(tag);
    AttachDatabaseFile(db_, host, path_as_given, alias, key.second);
  }
  attached_.emplace(key, alias);
  cache_tags_[alias] = tag;
  // Pages mapped from the file would pass the page cache by, and the
  // append's reads with them. An append reads each page of the backup once,
  // so the cache need hold little more than the path from the table's root
  // to the page being read.
  RunSql("PRAGMA " + QuoteIdentifier(alias) + ".mmap_size = 0");
  RunSql("PRAGMA " + QuoteIdentifier(alias) + ".cache_size = " + std::to_string(kBackupCachePages));
}

// SQLite refuses ATTACH inside a transaction. An open transaction is set
// aside: rolled back, the file attached, then begun again with the
// statements it had run so far run again in order (ResumeTransaction). The
// caller has seen nothing of them but their success, and emptying a table
// or appending a read-only backup's rows means the same when run again, so
// the transaction ends as if the file had been attached before it began;
// its atomicity is kept. A failure to attach is raised after the
// transaction has been resumed.
void SqlCipherConnection::AttachAsideTransaction(const std::string& host,
                                                 const std::u16string& path_as_given,
                                                 const std::string& alias, const AttachKey& key) {
  if (!transaction_.active) {
    Attach(host, path_as_given, alias, key);
    return;
  }
  RunSql("ROLLBACK");
  std::optional<RunTimeError> attach_failure;
  try {
    Attach(host, path_as_given, alias, key);
  } catch (const RunTimeError& failure) {
    attach_failure = failure;
  }
  ResumeTransaction();
  if (attach_failure) throw *attach_failure;
}

// If the transaction cannot be begun again as it stood, it is lost: its
// changes are undone and the failure raised.
void SqlCipherConnection::ResumeTransaction() {
  appended_.reset();
  counted_source_.reset();
  try {
    RunSql("BEGIN");
    for (const std::string& sql : transaction_.log) RunSql(sql);
  } catch (const RunTimeError&) {
    RollbackQuietly(db_);
    transaction_.lost = true;
    transaction_.log.clear();
    throw;
  }
}

// Runs one statement of the caller's, keeping the transaction's log. A
// failure the engine answered by undoing the whole transaction loses it.
void SqlCipherConnection::RunStatement(const std::string& sql) {
  try {
    RunSql(sql);
  } catch (const RunTimeError&) {
    if (transaction_.active && sqlite3_get_autocommit(db_)) {
      transaction_.lost = true;
      transaction_.log.clear();
    }
    throw;
  }
  if (transaction_.active) transaction_.log.push_back(sql);
}

void SqlCipherConnection::RunSql(const std::string& sql) { SqliteStatement(db_, sql).Run(); }

void SqlCipherConnection::EndTransaction() {
  transaction_ = Transaction{};
  appended_.reset();
  counted_source_.reset();
}

}  // namespace brevak::posix
