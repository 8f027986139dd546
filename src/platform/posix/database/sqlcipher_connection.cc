#include "platform/posix/database/sqlcipher_connection.h"

#include <filesystem>

#include "platform/posix/database/jet_connection_string.h"
#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/jet_sql.h"
#include "platform/posix/database/jet_text.h"
#include "platform/posix/database/page_cache_tap.h"
#include "platform/posix/database/sqlcipher_file.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/database/stored_tables.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

constexpr std::u16string_view kJetProvider = u"Microsoft.Jet.OLEDB.4.0";

}  // namespace

SqlCipherConnection::SqlCipherConnection(const WinePrefix& prefix) : prefix_(prefix), attached_(prefix) {}

SqlCipherConnection::~SqlCipherConnection() {
  if (db_ == nullptr) return;
  transaction_.Abandon(db_);
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
  const std::filesystem::path host = LocateDatabaseFile(prefix_, parsed.data_source);
  db_ = OpenDatabaseFile(host, parsed.data_source, Utf16ToUtf8(parsed.password));
}

void SqlCipherConnection::Execute(const std::u16string& statement) {
  RequireOpen();
  RequireTransactionNotLost();
  RunParsed(ParseJetStatement(statement));
}

int32_t SqlCipherConnection::ExecuteCount(const std::u16string& statement) {
  RequireOpen();
  RequireTransactionNotLost();
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

// Counting a table reads and decrypts every page of it; the tables an
// append has just filled and read are answered from its own figures.
int64_t SqlCipherConnection::RowsOf(const JetCountRows& statement) {
  const bool external = !statement.database.empty();
  const std::string schema = external ? AliasOf(statement.database, statement.password) : "main";
  const std::string table = stored_tables::Find(db_, schema, statement.table);
  if (last_append_) {
    const std::optional<int64_t> known = external ? last_append_->SourceRows(transaction_, schema, table)
                                                  : last_append_->TargetRows(transaction_, table);
    if (known) return *known;
  }
  return stored_tables::CountRows(db_, schema, table);
}

void SqlCipherConnection::RunParsed(const JetStatement& statement) {
  if (const auto* append = std::get_if<JetAppendFromFile>(&statement)) {
    RunAppend(*append);
  } else if (const auto* remove = std::get_if<JetDeleteAll>(&statement)) {
    transaction_.Run(db_, jet_sql::DeleteAll(stored_tables::Find(db_, "main", remove->table)));
  } else {
    // A count run for nothing changes nothing and needs no place in the
    // transaction's log.
    const auto& count = std::get<JetCountRows>(statement);
    const std::string schema = count.database.empty() ? "main" : AliasOf(count.database, count.password);
    RunSql(db_, jet_sql::CountRows(schema, stored_tables::Find(db_, schema, count.table)));
  }
}

// Inside a transaction, with the page-cache tap in place, the append is
// counted on both sides as it runs.
void SqlCipherConnection::RunAppend(const JetAppendFromFile& statement) {
  const jet_sql::StoredTable target = stored_tables::FindWithFields(db_, "main", statement.target);
  const std::string alias = AliasOf(statement.database, statement.password);  // attaches first when it must
  const jet_sql::StoredTable source = stored_tables::FindWithFields(db_, alias, statement.source);
  const std::string sql = jet_sql::AppendFrom(target, source);
  if (!transaction_.active() || !page_cache_tap::Installed()) {
    transaction_.Run(db_, sql);
    return;
  }
  last_append_.emplace(db_, transaction_, sql, target.name, source, attached_.CacheTag(alias));
}

std::string SqlCipherConnection::AliasOf(const std::u16string& path, const std::u16string& password) {
  return attached_.AliasOf(db_, transaction_, path, password);
}

void SqlCipherConnection::Close() {
  RequireOpen();
  // Closing with a transaction open undoes it, as Jet does.
  transaction_.Abandon(db_);
  sqlite3_close_v2(db_);
  db_ = nullptr;
  attached_.Forget();
}

int32_t SqlCipherConnection::State() { return db_ != nullptr ? adStateOpen : adStateClosed; }

// Transactions do not nest: a second BeginTrans is refused.
void SqlCipherConnection::BeginTrans() {
  RequireOpen();
  if (transaction_.active()) throw jet_error::TransactionExists();
  transaction_.Begin(db_);
}

void SqlCipherConnection::CommitTrans() {
  RequireOpen();
  if (!transaction_.active()) throw jet_error::NoTransaction();
  if (transaction_.lost()) {
    transaction_.Abandon(db_);
    throw jet_error::TransactionLost();
  }
  transaction_.Commit(db_);
}

void SqlCipherConnection::RollbackTrans() {
  RequireOpen();
  if (!transaction_.active()) throw jet_error::NoTransaction();
  transaction_.Rollback(db_);
}

void SqlCipherConnection::RequireOpen() const {
  if (db_ == nullptr) throw jet_error::ObjectClosed();
}

void SqlCipherConnection::RequireTransactionNotLost() const {
  if (transaction_.lost()) throw jet_error::TransactionLost();
}

}  // namespace brevak::posix
