#include "shop/shop_files.h"

#include <stdexcept>

#include "shop/shop_db.h"

namespace brevak::shop {
namespace {

constexpr uint64_t kPackageTag = 0x5041434B;

void BindValue(Statement& insert, int index, const Value& value) {
  switch (value.type) {
    case Value::Type::kNull: return insert.BindNull(index);
    case Value::Type::kInteger: return insert.BindInt(index, value.integer);
    case Value::Type::kReal: return insert.BindReal(index, value.real);
    case Value::Type::kText: return insert.BindText(index, value.bytes);
    case Value::Type::kBlob: return insert.BindBlob(index, value.bytes);
  }
}

std::string InsertSql(const TableDef& table, const std::vector<const Field*>& fields) {
  std::string names, marks;
  for (const Field* field : fields) {
    if (!names.empty()) {
      names += ", ";
      marks += ", ";
    }
    names += QuoteName(field->name);
    marks += "?";
  }
  return "INSERT INTO " + QuoteName(table.name) + " (" + names + ") VALUES (" + marks + ")";
}

// Inserts `count` generated rows from `first_id` through one prepared statement.
void InsertRows(ShopDb& db, const TableDef& table, uint64_t seed, int64_t first_id, int64_t count,
                const TableSizes& sizes) {
  if (count <= 0) return;
  RowGenerator rows(table, seed, first_id, count, sizes);
  Statement insert(db.handle(), InsertSql(table, rows.fields()));
  while (rows.Next()) {
    const std::vector<Value>& values = rows.values();
    for (size_t i = 0; i < values.size(); ++i) BindValue(insert, static_cast<int>(i + 1), values[i]);
    insert.Step();
    insert.Reset();
  }
}

void WriteStore(const std::filesystem::path& file, const std::string& key, Store store, const ShopOptions& options,
                const TableSizes& shop_sizes, const TableSizes& all_sizes) {
  ShopDb db(file, key, /*create=*/true);
  db.Exec("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; PRAGMA cache_size = -16384");
  for (const TableDef& table : ShopTables(options.variant)) {
    if (table.store != store) continue;
    db.Exec(CreateTableSql(table));
    db.Exec("BEGIN");
    InsertRows(db, table, Mix(options.seed, kPackageTag), 1, options.package_rows, all_sizes);
    InsertRows(db, table, options.seed, options.package_rows + 1, shop_sizes.at(table.name), all_sizes);
    db.Exec("COMMIT");
  }
}

void WriteFile(const std::filesystem::path& file, Store store, const ShopOptions& options) {
  std::string partial_name = ".";
  partial_name += file.filename().string();
  partial_name += ".partial";
  const std::filesystem::path partial = file.parent_path() / partial_name;
  std::filesystem::remove(partial);
  WriteStore(partial, KeyFor(file), store, options, ShopSizes(options), PlannedSizes(options));
  std::filesystem::rename(partial, file);
}

}  // namespace

std::string KeyFor(const std::filesystem::path& file) {
  return file.filename() == kCustomerFile ? kCustomerKey : "";
}

TableSizes ShopSizes(const ShopOptions& options) {
  TableSizes sizes = SpreadRows(ShopTables(options.variant), options.rows);
  for (const auto& [table, rows] : options.table_rows) {
    const auto found = sizes.find(table);
    if (found == sizes.end()) throw std::runtime_error("no table " + table);
    if (rows < 0) throw std::runtime_error("row counts must not be negative");
    found->second = rows;
  }
  return sizes;
}

TableSizes PlannedSizes(const ShopOptions& options) {
  TableSizes sizes = ShopSizes(options);
  for (auto& [table, rows] : sizes) rows += options.package_rows;
  return sizes;
}

void MakeShopFiles(const ShopOptions& options) {
  if (options.rows < 0 || options.package_rows < 0) throw std::runtime_error("row counts must not be negative");
  std::filesystem::create_directories(options.out_dir);
  const std::filesystem::path address_book = options.out_dir / kAddressBookFile;
  const std::filesystem::path customer = options.out_dir / kCustomerFile;
  for (const std::filesystem::path& file : {address_book, customer}) {
    if (!options.force && std::filesystem::exists(file)) {
      throw std::runtime_error(file.string() + " exists (use --force to replace it)");
    }
  }
  WriteFile(address_book, Store::kAddressBook, options);
  WriteFile(customer, Store::kCustomer, options);
}

std::vector<TableCount> CountRows(const std::filesystem::path& file, const std::string& key) {
  if (!std::filesystem::is_regular_file(file)) throw std::runtime_error(file.string() + ": no such file");
  ShopDb db(file, key, /*create=*/false);
  std::vector<TableCount> counts;
  try {
    Statement tables(db.handle(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    while (tables.Step()) counts.push_back({tables.ColumnText(0), 0});
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(file.string() + ": " + e.what());
  }
  for (TableCount& count : counts) {
    Statement rows(db.handle(), "SELECT count(*) FROM " + QuoteName(count.table));
    rows.Step();
    count.rows = rows.ColumnInt(0);
  }
  return counts;
}

}  // namespace brevak::shop
