#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_DATABASE_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_DATABASE_H_

#include <memory>
#include <string>

#include "platform/database.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// Readies the database engine for the stand-in, before anything opens a
// database in the process: puts the page-cache tap in place when the build
// has it (BREVAK_PAGE_CACHE_TAP). Idempotent; SqlCipherDatabase calls it.
void PrepareDatabaseEngine();

// CreateObject for database connections: "Adodb.Connection" (any letter
// case) gives a SqlCipherConnection on the prefix's files; any other
// programmatic identifier raises run-time error 429.
class SqlCipherDatabase : public Database {
 public:
  explicit SqlCipherDatabase(const WinePrefix& prefix);

  std::unique_ptr<Connection> CreateConnection(const std::u16string& prog_id) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_DATABASE_H_
