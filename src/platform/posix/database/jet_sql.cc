#include "platform/posix/database/jet_sql.h"

#include <algorithm>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/jet_text.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix::jet_sql {
namespace {

std::string Qualified(const std::string& schema, const std::string& table) {
  return QuoteIdentifier(schema) + "." + QuoteIdentifier(table);
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

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return jet_text::FoldCase(static_cast<unsigned char>(x)) ==
           jet_text::FoldCase(static_cast<unsigned char>(y));
  });
}

std::string DeleteAll(const std::string& table) { return "DELETE FROM " + Qualified("main", table); }

std::string CountRows(const std::string& schema, const std::string& table) {
  return "SELECT count(*) FROM " + Qualified(schema, table);
}

std::string AppendFrom(const StoredTable& target, const StoredTable& source) {
  const bool same_fields = std::equal(source.fields.begin(), source.fields.end(), target.fields.begin(),
                                      target.fields.end(), SameName);
  return "INSERT INTO " + Qualified("main", target.name) +
         (same_fields ? " SELECT *" : FieldsByName(source.fields, target.fields)) + " FROM " +
         Qualified(source.schema, source.name);
}

}  // namespace brevak::posix::jet_sql
