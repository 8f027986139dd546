#ifndef BREVAK_PLATFORM_DATABASE_H_
#define BREVAK_PLATFORM_DATABASE_H_

#include <cstdint>
#include <memory>
#include <string>

namespace brevak {

inline constexpr int32_t adStateClosed = 0;
inline constexpr int32_t adStateOpen = 1;

// The error Jet raises (0x80040E37) when a statement names a table or query
// its database does not hold, the input table of an append included.
inline constexpr int32_t kJetInputTableNotFound = -2147217865;

// An ADO connection object (Adodb.Connection), used through its members.
// Every member raises a RunTimeError with the provider's number and
// description when it fails.
class Connection {
 public:
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  virtual ~Connection() = default;

  virtual void SetProvider(const std::u16string& provider) = 0;
  // Opens the database the OLE DB connection string names (Data Source,
  // Jet OLEDB:Database Password).
  virtual void Open(const std::u16string& connection_string) = 0;
  // Runs one statement of Jet's SQL on the open database.
  virtual void Execute(const std::u16string& statement) = 0;
  // Runs a "select count(*) from ..." statement and returns the first field
  // of its first record: Set rs = Execute(statement), rs.Fields.Item(0).Value,
  // rs.Close.
  virtual int32_t ExecuteCount(const std::u16string& statement) = 0;
  virtual void Close() = 0;
  // adStateOpen or adStateClosed.
  virtual int32_t State() = 0;

  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void RollbackTrans() = 0;
};

// Creates connection objects: the platform's CreateObject("Adodb.Connection").
class Database {
 public:
  Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  virtual ~Database() = default;

  // Raises a RunTimeError when the object cannot be created.
  virtual std::unique_ptr<Connection> CreateConnection(const std::u16string& prog_id) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_DATABASE_H_
