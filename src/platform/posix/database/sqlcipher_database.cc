#include "platform/posix/database/sqlcipher_database.h"

#include "platform/posix/database/jet_text.h"
#include "platform/posix/database/page_cache_tap.h"
#include "platform/posix/database/sqlcipher_connection.h"
#include "platform/runtime_error.h"

namespace brevak::posix {

void PrepareDatabaseEngine() {
#if BREVAK_PAGE_CACHE_TAP
  page_cache_tap::Install();
#endif
}

SqlCipherDatabase::SqlCipherDatabase(const WinePrefix& prefix) : prefix_(prefix) { PrepareDatabaseEngine(); }

std::unique_ptr<Connection> SqlCipherDatabase::CreateConnection(const std::u16string& prog_id) {
  if (!jet_text::EqualsIgnoringCase(prog_id, u"Adodb.Connection")) {
    throw vb_error::Raise(vb_error::kCannotCreateObject);
  }
  return std::make_unique<SqlCipherConnection>(prefix_);
}

}  // namespace brevak::posix
