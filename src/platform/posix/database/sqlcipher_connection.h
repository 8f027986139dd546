#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/database.h"
#include "platform/posix/database/jet_statement.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// An Adodb.Connection on the Jet 4.0 provider, standing on SQLCipher: the
// Windows paths of the connection string and of the external-database
// clause are files in the Wine prefix. It runs the statements the tool
// sends (see ParseJetStatement) with Jet's meaning.
//
// Each backup file named by an insert is attached once, on first use, and
// stays attached until Close: attaching a keyed file costs a key
// derivation.
class SqlCipherConnection : public Connection {
 public:
  explicit SqlCipherConnection(const WinePrefix& prefix);
  ~SqlCipherConnection() override;

  void SetProvider(const std::u16string& provider) override;
  void Open(const std::u16string& connection_string) override;
  void Execute(const std::u16string& statement) override;
  // Counts the rows of a table of the open database or of an attached
  // file. Any other statement runs as Execute runs it and then raises
  // 3704, as reading the fields of a closed recordset does. Inside a
  // transaction, the table an append filled and the backup table it read
  // are counted without reading either again (AppendedRows, CountedSource).
  int32_t ExecuteCount(const std::u16string& statement) override;
  void Close() override;
  int32_t State() override;

  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;

 private:
  // The transaction BeginTrans opened. `log` holds the SQL of every
  // statement that succeeded in it, so that it can be run again after the
  // transaction had to be set aside for an ATTACH. `lost` is set when the
  // engine ended the transaction on its own after a failure: its changes
  // are gone, and only RollbackTrans (or CommitTrans, which then fails)
  // ends the state.
  struct Transaction {
    bool active = false;
    bool lost = false;
    std::vector<std::string> log;
  };
  // The rows of a table of the open file right after the transaction's
  // last statement appended to it: what the table held before the append
  // (after a delete of every row, an empty table costs one page to count)
  // plus the rows the append inserted. The transaction's write lock keeps
  // every other connection from changing the table until it ends.
  struct AppendedRows {
    std::string table;
    int64_t rows = 0;
  };
  // The rows of the backup table the transaction's last append read,
  // counted on its pages as the append read them (page_cache_tap). The
  // transaction's read lock on the backup keeps the table as counted until
  // the transaction ends.
  struct CountedSource {
    std::string alias;
    std::string table;
    int64_t rows = 0;
  };

  void RequireOpen() const;
  std::string BuildDelete(const JetDeleteAll& statement);
  // An append's statement and the tables it joins.
  struct AppendPlan {
    std::string sql;
    std::string target;
    std::string alias;   // of the backup file
    std::string source;  // table of the backup file
  };
  AppendPlan PlanAppend(const JetAppendFromFile& statement);
  std::string BuildCount(const JetCountRows& statement);
  void RunParsed(const JetStatement& statement);
  void RunAppend(const JetAppendFromFile& statement);
  uint32_t RootPage(const std::string& schema, const std::string& table);
  // True when the rows an append reports as inserted are exactly what the
  // table grew by: no trigger can add or remove rows of it on the side,
  // and no REPLACE conflict clause can delete rows the report leaves out.
  bool InsertsCountExactly(const std::string& table);
  int64_t RowsOf(const JetCountRows& statement);
  int64_t CountRows(const std::string& schema, const std::string& table);
  // The stored name of table `name` in `schema`, found ignoring case.
  std::string FindTable(const std::string& schema, const std::u16string& name);
  std::vector<std::string> ColumnNames(const std::string& schema, const std::string& table);
  // The alias under which the external file is attached, attaching it now
  // when this connection has not yet.
  std::string ExternalDatabase(const std::u16string& path, const std::u16string& password);
  // (host path, password) of an attached file.
  using AttachKey = std::pair<std::string, std::string>;
  void AttachAsideTransaction(const std::string& host, const std::u16string& path_as_given,
                              const std::string& alias, const AttachKey& key);
  void Attach(const std::string& host, const std::u16string& path_as_given, const std::string& alias,
              const AttachKey& key);
  void ResumeTransaction();
  void RunStatement(const std::string& sql);
  void RunSql(const std::string& sql);
  void EndTransaction();

  WinePrefix prefix_;
  std::u16string provider_;
  sqlite3* db_ = nullptr;
  std::map<AttachKey, std::string> attached_;  // -> alias
  std::map<std::string, uint64_t> cache_tags_;  // alias -> the tag of its page caches
  int aliases_made_ = 0;
  Transaction transaction_;
  std::optional<AppendedRows> appended_;
  std::optional<CountedSource> counted_source_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_
