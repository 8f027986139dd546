#ifndef BREVAK_PLATFORM_POSIX_DATABASE_JET_SQL_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_JET_SQL_H_

#include <string>
#include <vector>

// The SQLite statements that carry out the Jet statements the tool sends,
// made from the names the database stores: no file is read here, so that
// the meaning of each statement can be checked on its own.
namespace brevak::posix::jet_sql {

// A table as the database stores it: the schema it is in ("main" or an
// attached file's alias), its name and its fields, in their order.
struct StoredTable {
  std::string schema;
  std::string name;
  std::vector<std::string> fields;
};

// SQLite compares table and field names ignoring ASCII case, as Jet does.
bool SameName(const std::string& a, const std::string& b);

// Removes every row of `table` of the open file.
std::string DeleteAll(const std::string& table);

// Counts the rows of `table` in `schema`.
std::string CountRows(const std::string& schema, const std::string& table);

// Appends every row of `source` to `target` (a table of the open file), by
// field name: every field of the source must exist in the target (ignoring
// case), else Jet's unknown-field error is raised naming it; a target field
// the source lacks takes its default. Where both tables have the same
// fields in the same order, SELECT * means the same and lets SQLite move
// the records without decoding them (its transfer optimisation); elsewhere
// the fields are named.
std::string AppendFrom(const StoredTable& target, const StoredTable& source);

}  // namespace brevak::posix::jet_sql

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_JET_SQL_H_
