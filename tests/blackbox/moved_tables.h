#ifndef BREVAK_TESTS_BLACKBOX_MOVED_TABLES_H_
#define BREVAK_TESTS_BLACKBOX_MOVED_TABLES_H_

// The tables the upgrade carries over, each with the file that holds it.

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "shop/shop_schema.h"
#include "support/blackbox_tables.h"

namespace brevak::testing {

struct ShopTable {
  std::string name;
  std::string file;  // Addr.mdb or Customerdata.car
  std::string key;
};

// The address book's three tables, then the customer tables in the
// migration's order, each once.
inline std::vector<ShopTable> AddressBookTables() {
  return {{"GroupList", "Addr.mdb", ""}, {"People", "Addr.mdb", ""}, {"Pic", "Addr.mdb", ""}};
}

inline std::vector<ShopTable> MovedTables() {
  std::vector<ShopTable> tables = AddressBookTables();
  for (const std::string& name : shop::CustomerMigrationList()) {
    const bool seen = std::any_of(tables.begin(), tables.end(), [&](const ShopTable& t) { return t.name == name; });
    if (!seen) tables.push_back({name, "Customerdata.car", shop::kCustomerKey});
  }
  return tables;
}

// By table name: the digest of each moved table of `folder`'s databases,
// over the fields the table has in `fields_from`'s copy, so that a field
// only the package has does not count. A table missing from either file
// gets rows -1.
using Digests = std::map<std::string, TableDigest>;

inline Digests DigestMoved(const std::filesystem::path& folder, const std::filesystem::path& fields_from,
                           const std::vector<ShopTable>& tables = MovedTables()) {
  Digests digests;
  for (const char* file : {"Addr.mdb", "Customerdata.car"}) {
    const std::string key = std::string(file) == "Addr.mdb" ? "" : shop::kCustomerKey;
    if (std::none_of(tables.begin(), tables.end(), [&](const ShopTable& t) { return t.file == file; })) continue;
    DbReader reader(folder / file, key);
    DbReader fields(fields_from / file, key);
    for (const ShopTable& table : tables) {
      if (table.file != file) continue;
      const bool both = reader.HasTable(table.name) && fields.HasTable(table.name);
      digests[table.name] = both ? reader.Digest(table.name, fields.Fields(table.name)) : TableDigest{-1, ""};
    }
  }
  return digests;
}

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_BLACKBOX_MOVED_TABLES_H_
