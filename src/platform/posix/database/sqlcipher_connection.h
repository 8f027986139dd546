#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/database.h"
#include "platform/posix/database/attached_files.h"
#include "platform/posix/database/counting_append.h"
#include "platform/posix/database/jet_statement.h"
#include "platform/posix/database/replayable_transaction.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// An Adodb.Connection on the Jet 4.0 provider, standing on SQLCipher: the
// Windows paths of the connection string and of the external-database
// clause are files in the Wine prefix. It runs the statements the tool
// sends (see ParseJetStatement) with Jet's meaning (jet_sql), each backup
// file attached once (AttachedFiles).
class SqlCipherConnection : public Connection {
 public:
  explicit SqlCipherConnection(const WinePrefix& prefix);
  ~SqlCipherConnection() override;

  void SetProvider(const std::u16string& provider) override;
  void Open(const std::u16string& connection_string) override;
  void Execute(const std::u16string& statement) override;
  // Counts the rows of a table of the open database or of an attached
  // file. Any other statement runs as Execute runs it and then raises
  // 3704, as reading the fields of a closed recordset does. Right after an
  // append inside a transaction, the table it filled and the backup table
  // it read are counted without reading either again (CountingAppend).
  int32_t ExecuteCount(const std::u16string& statement) override;
  void Close() override;
  int32_t State() override;

  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;

 private:
  void RequireOpen() const;
  void RequireTransactionNotLost() const;
  void RunParsed(const JetStatement& statement);
  void RunAppend(const JetAppendFromFile& statement);
  int64_t RowsOf(const JetCountRows& statement);
  // The alias of the file a statement's external-database clause names.
  std::string AliasOf(const std::u16string& path, const std::u16string& password);

  WinePrefix prefix_;
  std::u16string provider_;
  sqlite3* db_ = nullptr;
  AttachedFiles attached_;
  ReplayableTransaction transaction_;
  // The last append counted as it ran; its figures answer only while
  // nothing else has run since.
  std::optional<CountingAppend> last_append_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_CONNECTION_H_
