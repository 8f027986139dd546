#ifndef BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_DATABASE_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_SQLCIPHER_DATABASE_H_

#include <memory>
#include <string>

#include "platform/database.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

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
