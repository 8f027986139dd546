#include "support/shop_db.h"

#include <stdexcept>

#include "shop/shop_db.h"

namespace brevak::testing {
namespace fs = std::filesystem;

void MakeShopDb(const fs::path& file, const std::string& password, const std::string& script) {
  if (fs::exists(file)) throw std::runtime_error(file.string() + " exists already");
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  shop::ShopDb(file, password, /*create=*/true).Exec(script);
}

void ChangeShopDb(const fs::path& file, const std::string& password, const std::string& script) {
  shop::ShopDb(file, password, /*create=*/false).Exec(script);
}

std::vector<ShopRow> QueryShopDb(const fs::path& file, const std::string& password,
                                 const std::string& query) {
  shop::ShopDb db(file, password, /*create=*/false);
  shop::Statement statement(db.handle(), query);
  std::vector<ShopRow> rows;
  while (statement.Step()) {
    ShopRow row;
    for (int column = 0; column < statement.ColumnCount(); ++column) {
      const bool null = statement.ColumnType(column) == SQLITE_NULL;
      row.push_back(null ? ShopCell() : ShopCell(statement.ColumnBytes(column)));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace brevak::testing
