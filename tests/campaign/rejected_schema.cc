#include "campaign/rejected_schema.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "campaign/carried_tables.h"
#include "campaign/shop_prefix.h"
#include "shop/shop_db.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kNewField[] = "Jiancha_bianhao";

struct Column {
  std::string file, table, field;
};

std::vector<std::string> Fields(shop::ShopDb& db, const std::string& table) {
  std::vector<std::string> fields;
  shop::Statement info(db.handle(), "PRAGMA table_info(" + shop::QuoteName(table) + ")");
  while (info.Step()) fields.push_back(info.ColumnText(1));
  return fields;
}

bool Returns(shop::ShopDb& db, const std::string& sql) {
  try {
    shop::Statement query(db.handle(), sql);
    return query.Step();
  } catch (const std::exception&) {
    return false;  // a table an older release's database lacks
  }
}

// The carried tables the shop has rows in (field empty), or each field whose
// values the shop's rows repeat, among those the package's table has too.
std::vector<Column> Candidates(const fs::path& prefix, bool repeated) {
  std::vector<Column> found;
  for (const CarriedTable& table : CarriedTables()) {
    shop::ShopDb shop(InstallDir(prefix) / table.file, KeyForFile(table.file), false);
    shop::ShopDb package(PackageDir(prefix) / table.file, KeyForFile(table.file), false);
    const std::string name = shop::QuoteName(table.name);
    if (!Returns(shop, "SELECT 1 FROM " + name) || Fields(package, table.name).empty()) continue;
    if (!repeated) {
      found.push_back({table.file, table.name, ""});
      continue;
    }
    const std::vector<std::string> theirs = Fields(package, table.name);
    for (const std::string& field : Fields(shop, table.name)) {
      if (std::find(theirs.begin(), theirs.end(), field) == theirs.end()) continue;
      const std::string quoted = shop::QuoteName(field);
      if (Returns(shop, "SELECT 1 FROM " + name + " WHERE " + quoted + " IS NOT NULL GROUP BY " + quoted +
                            " HAVING COUNT(*) > 1")) {
        found.push_back({table.file, table.name, field});
      }
    }
  }
  return found;
}

// The table made anew with one more field, NOT NULL without a default; its
// sample rows get a value, its indexes come back.
void AddNotNullField(shop::ShopDb& db, const std::string& table) {
  std::string create;
  std::vector<std::string> indexes;
  {
    shop::Statement schema(db.handle(), "SELECT type, sql FROM sqlite_master WHERE tbl_name = " +
                                            shop::QuoteText(table) + " AND sql IS NOT NULL");
    while (schema.Step()) (schema.ColumnText(0) == "table" ? create : indexes.emplace_back()) = schema.ColumnText(1);
  }
  create.insert(create.rfind(')'), std::string(", ") + shop::QuoteName(kNewField) + " TEXT NOT NULL");
  const std::string old = shop::QuoteName(table + "_before_campaign"), name = shop::QuoteName(table);
  db.Exec("BEGIN");
  db.Exec("ALTER TABLE " + name + " RENAME TO " + old);
  db.Exec(create);
  db.Exec("INSERT INTO " + name + " SELECT *, 'J-0' FROM " + old);
  db.Exec("DROP TABLE " + old);
  for (const std::string& index : indexes) db.Exec(index);
  db.Exec("COMMIT");
}

}  // namespace

std::string RejectShopRows(const fs::path& prefix, int variant) {
  const bool unique = variant % 2 == 1;
  const std::vector<Column> candidates = Candidates(prefix, unique);
  for (size_t tried = 0; tried < candidates.size(); ++tried) {
    const Column& pick = candidates[(static_cast<size_t>(variant / 2) + tried) % candidates.size()];
    shop::ShopDb package(PackageDir(prefix) / pick.file, KeyForFile(pick.file), false);
    try {
      if (!unique) {
        AddNotNullField(package, pick.table);
        return "the package's " + pick.table + " gains " + kNewField + " NOT NULL without a default";
      }
      package.Exec("CREATE UNIQUE INDEX " + shop::QuoteName("campaign_unique_" + pick.field) + " ON " +
                   shop::QuoteName(pick.table) + "(" + shop::QuoteName(pick.field) + ")");
      return "the package's " + pick.table + "." + pick.field + " made UNIQUE (the shop's rows repeat it)";
    } catch (const std::exception&) {
      // The package's own sample rows break it too: the next candidate.
    }
  }
  return unique ? "no field the shop's rows repeat: the package unchanged" : "no table with rows: the package unchanged";
}

}  // namespace brevak::campaign
