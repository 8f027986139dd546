#include "platform/posix/database/stored_tables.h"

#include <vector>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix::stored_tables {

std::string Find(sqlite3* db, const std::string& schema, const std::u16string& name) {
  SqliteStatement find(db, "SELECT name FROM " + QuoteIdentifier(schema) +
                               ".sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"
                               " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
  find.BindText(1, Utf16ToUtf8(name));
  if (!find.Step()) throw jet_error::InputTableNotFound(name);
  return find.ColumnText(0);
}

jet_sql::StoredTable FindWithFields(sqlite3* db, const std::string& schema, const std::u16string& name) {
  jet_sql::StoredTable table{schema, Find(db, schema, name), {}};
  // PRAGMA takes no bound parameters; both names are quoted identifiers.
  SqliteStatement info(db, "PRAGMA " + QuoteIdentifier(schema) + ".table_info(" +
                               QuoteIdentifier(table.name) + ")");
  while (info.Step()) table.fields.push_back(info.ColumnText(1));
  return table;
}

int64_t CountRows(sqlite3* db, const std::string& schema, const std::string& table) {
  SqliteStatement query(db, jet_sql::CountRows(schema, table));
  if (!query.Step()) throw jet_error::ObjectClosed();
  return std::stoll(query.ColumnText(0));
}

}  // namespace brevak::posix::stored_tables
