#include "platform/posix/database/sqlcipher_database.h"

#include "platform/posix/database/jet_text.h"
#include "platform/posix/database/sqlcipher_connection.h"
#include "platform/runtime_error.h"

namespace brevak::posix {

SqlCipherDatabase::SqlCipherDatabase(const WinePrefix& prefix) : prefix_(prefix) {}

std::unique_ptr<Connection> SqlCipherDatabase::CreateConnection(const std::u16string& prog_id) {
  if (!jet_text::EqualsIgnoringCase(prog_id, u"Adodb.Connection")) {
    throw vb_error::Raise(vb_error::kCannotCreateObject);
  }
  return std::make_unique<SqlCipherConnection>(prefix_);
}

}  // namespace brevak::posix
