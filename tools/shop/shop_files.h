#ifndef BREVAK_TOOLS_SHOP_SHOP_FILES_H_
#define BREVAK_TOOLS_SHOP_SHOP_FILES_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "shop/shop_rows.h"
#include "shop/shop_schema.h"

namespace brevak::shop {

struct ShopOptions {
  std::filesystem::path out_dir;
  Variant variant = Variant::kOld;
  int64_t rows = 0;          // the shop's own records, spread over all tables by weight
  uint64_t seed = 1;
  int64_t package_rows = 0;  // rows in every table as the release ships them
  bool force = false;        // replace existing files
  // Tables whose own records are given here instead of their share of
  // `rows`: a shop with one dominant table, say.
  TableSizes table_rows;
};

// Writes out_dir/Addr.mdb (plain SQLite) and out_dir/Customerdata.car
// (SQLCipher, keyed with kCustomerKey). Each file is built under a
// temporary name and renamed when complete. In every table the package's
// rows come first (numbers 1..package_rows), then the shop's. Throws
// std::runtime_error when a file exists and `force` is false, or on any
// database failure.
void MakeShopFiles(const ShopOptions& options);

// The shop's own records of each table: `rows` spread by weight, then the
// tables of `table_rows` set as given. Throws std::runtime_error for a
// table the variant does not have.
TableSizes ShopSizes(const ShopOptions& options);

// The rows each table of the two files will hold.
TableSizes PlannedSizes(const ShopOptions& options);

struct TableCount {
  std::string table;
  int64_t rows;
};

// Every table of `file` in creation order with its row count. An empty key
// reads a plain SQLite file. Throws when the file is missing or the key
// does not open it.
std::vector<TableCount> CountRows(const std::filesystem::path& file, const std::string& key);

// The key of a shop file by its name: kCustomerKey for Customerdata.car.
std::string KeyFor(const std::filesystem::path& file);

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_FILES_H_
