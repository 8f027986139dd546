#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "shop/shop_db.h"
#include "shop/shop_files.h"
#include "shop/shop_rows.h"
#include "shop/shop_schema.h"

namespace brevak::shop {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

// A temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "shop_data_test.XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Every row of `sql`, each cell as its stored bytes ("<null>" for NULL).
Rows Query(ShopDb& db, const std::string& sql) {
  Statement statement(db.handle(), sql);
  Rows rows;
  while (statement.Step()) {
    std::vector<std::string>& row = rows.emplace_back();
    const int columns = statement.ColumnCount();
    for (int i = 0; i < columns; ++i) {
      row.push_back(statement.ColumnType(i) == SQLITE_NULL ? "<null>" : statement.ColumnBytes(i));
    }
  }
  return rows;
}

Rows Query(const fs::path& file, const std::string& key, const std::string& sql) {
  ShopDb db(file, key, /*create=*/false);
  return Query(db, sql);
}

int64_t Count(ShopDb& db, const std::string& sql) { return std::stoll(Query(db, sql).at(0).at(0)); }

// Opening a keyed file derives the key anew (slow by design): tests open each file once.
std::unique_ptr<ShopDb> Open(const fs::path& file) {
  return std::make_unique<ShopDb>(file, KeyFor(file), /*create=*/false);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int64_t Total(const std::vector<TableCount>& counts) {
  int64_t total = 0;
  for (const TableCount& count : counts) total += count.rows;
  return total;
}

// The shop files of one variant, made once for all tests.
struct Shop {
  ShopOptions options;
  TempDir dir;
  fs::path address_book() const { return dir.path() / kAddressBookFile; }
  fs::path customer() const { return dir.path() / kCustomerFile; }
};

class ShopDataTest : public ::testing::Test {
 protected:
  static constexpr int64_t kRows = 10000;
  static constexpr uint64_t kSeed = 11;

  static void SetUpTestSuite() {
    old_shop_ = Make(Variant::kOld, kSeed);
    new_shop_ = Make(Variant::kNew, kSeed);
  }
  static void TearDownTestSuite() {
    delete old_shop_;
    delete new_shop_;
  }
  static Shop* Make(Variant variant, uint64_t seed, int64_t rows = kRows, int64_t package_rows = 0) {
    auto* shop = new Shop;
    shop->options = {shop->dir.path(), variant, rows, seed, package_rows, false, {}};
    MakeShopFiles(shop->options);
    return shop;
  }

  static Shop* old_shop_;
  static Shop* new_shop_;
};

Shop* ShopDataTest::old_shop_ = nullptr;
Shop* ShopDataTest::new_shop_ = nullptr;

TEST_F(ShopDataTest, CustomerFileOpensOnlyWithItsKey) {
  EXPECT_GT(Total(CountRows(old_shop_->customer(), kCustomerKey)), 0);
  for (const std::string& key : {std::string(), std::string("mqzvtx"), std::string("MQZVTW")}) {
    EXPECT_THROW(CountRows(old_shop_->customer(), key), std::runtime_error) << key;
  }
  // Encrypted from the first page: no plain SQLite header, no readable text.
  const std::string bytes = ReadBytes(old_shop_->customer());
  EXPECT_NE(bytes.substr(0, 16), std::string("SQLite format 3\0", 16));
  EXPECT_EQ(bytes.find("CarOwner"), std::string::npos);
}

TEST_F(ShopDataTest, AddressBookIsPlainSqlite) {
  EXPECT_EQ(ReadBytes(old_shop_->address_book()).substr(0, 16), std::string("SQLite format 3\0", 16));
  EXPECT_GT(Total(CountRows(old_shop_->address_book(), "")), 0);
  EXPECT_EQ(KeyFor(old_shop_->address_book()), "");
  EXPECT_EQ(KeyFor(old_shop_->customer()), kCustomerKey);
}

TEST_F(ShopDataTest, HoldsTheThirtyTwoTables) {
  for (const Shop* shop : {old_shop_, new_shop_}) {
    std::vector<std::string> address_book, customer;
    for (const TableCount& count : CountRows(shop->address_book(), "")) address_book.push_back(count.table);
    for (const TableCount& count : CountRows(shop->customer(), kCustomerKey)) customer.push_back(count.table);
    EXPECT_EQ(address_book, (std::vector<std::string>{"GroupList", "People", "Pic"}));
    EXPECT_EQ(customer.size(), 29u);
    const std::set<std::string> present(customer.begin(), customer.end());
    for (const std::string& table : CustomerMigrationList()) EXPECT_TRUE(present.count(table)) << table;
    EXPECT_TRUE(present.count("Ins_Discount"));
  }
}

TEST(ShopSchemaTest, MigrationListHasTwentyNineEntriesAndLeavesTheDiscountsOut) {
  const std::vector<std::string>& list = CustomerMigrationList();
  ASSERT_EQ(list.size(), 29u);
  EXPECT_EQ(list[17], "RepairCase");
  EXPECT_EQ(list[25], "RepairCase");
  EXPECT_EQ(std::set<std::string>(list.begin(), list.end()).size(), 28u);
  EXPECT_EQ(std::count(list.begin(), list.end(), "Ins_Discount"), 0);
  for (const TableDef& table : ShopTables(Variant::kOld)) {
    const bool listed = std::count(list.begin(), list.end(), table.name) > 0;
    EXPECT_EQ(table.migrated, listed || table.store == Store::kAddressBook) << table.name;
  }
}

// Field lists as the files report them: number, name, type, not null, default, key.
Rows FieldsOf(ShopDb& db, const std::string& table) {
  return Query(db, "PRAGMA table_info(" + QuoteName(table) + ")");
}

TEST_F(ShopDataTest, VariantsDifferByExactlyTheAddedField) {
  auto old_book = Open(old_shop_->address_book()), old_car = Open(old_shop_->customer());
  auto new_book = Open(new_shop_->address_book()), new_car = Open(new_shop_->customer());
  for (const TableDef& table : ShopTables(Variant::kOld)) {
    const bool address_book = table.store == Store::kAddressBook;
    const Rows old_fields = FieldsOf(address_book ? *old_book : *old_car, table.name);
    Rows new_fields = FieldsOf(address_book ? *new_book : *new_car, table.name);
    ASSERT_FALSE(old_fields.empty()) << table.name;
    if (std::string_view(table.name) == "CarOwner") {
      ASSERT_EQ(new_fields.size(), old_fields.size() + 1);
      const std::vector<std::string> added = new_fields.back();
      EXPECT_EQ(added[1], "WeChat");
      EXPECT_EQ(added[2], "TEXT");
      EXPECT_EQ(added[4], "''");
      new_fields.pop_back();
    }
    EXPECT_EQ(new_fields, old_fields) << table.name;
  }
}

// What the upgrade relies on: the installed release's rows fit the package's
// table by field name, and the package's new field takes its default.
TEST_F(ShopDataTest, OldRowsFitTheNewTablesByFieldName) {
  TempDir dir;
  fs::copy_file(new_shop_->customer(), dir.path() / kCustomerFile);
  auto car = Open(dir.path() / kCustomerFile);
  car->Exec("ATTACH DATABASE " + QuoteText(old_shop_->customer().string()) + " AS bak KEY " + QuoteText(kCustomerKey));
  std::string names;
  for (const std::vector<std::string>& field : Query(*car, "PRAGMA bak.table_info(CarOwner)")) {
    names += (names.empty() ? "" : ", ") + QuoteName(field[1]);
  }
  car->Exec("BEGIN; DELETE FROM main.CarOwner; INSERT INTO main.CarOwner (" + names + ") SELECT " + names +
            " FROM bak.CarOwner; COMMIT");
  EXPECT_EQ(Count(*car, "SELECT count(*) FROM main.CarOwner"), Count(*car, "SELECT count(*) FROM bak.CarOwner"));
  EXPECT_EQ(Count(*car, "SELECT count(*) FROM main.CarOwner WHERE WeChat IS NOT ''"), 0);
  EXPECT_EQ(Count(*car, "SELECT count(*) FROM main.CarOwner m JOIN bak.CarOwner b USING (ID) "
                        "WHERE m.OwnerName IS NOT b.OwnerName OR m.VIN IS NOT b.VIN"),
            0);
}

TEST_F(ShopDataTest, RowsSpreadAsAShopsWithTheSheetLinesHeaviest) {
  std::vector<TableCount> counts = CountRows(old_shop_->customer(), kCustomerKey);
  const std::vector<TableCount> address_book = CountRows(old_shop_->address_book(), "");
  EXPECT_EQ(Total(counts) + Total(address_book), kRows);
  std::sort(counts.begin(), counts.end(), [](const TableCount& a, const TableCount& b) { return a.rows > b.rows; });
  const std::set<std::string> heaviest = {counts[0].table, counts[1].table};
  EXPECT_EQ(heaviest, (std::set<std::string>{"Repair_Sheet_Part", "Repair_Sheet_Work"}));
  EXPECT_GT(counts[1].rows, 2 * counts[3].rows);
  for (const TableCount& count : counts) {
    const TableDef* table = FindTable(Variant::kOld, count.table);
    ASSERT_NE(table, nullptr) << count.table;
    EXPECT_GT(count.rows, 0) << count.table;
    if (table->max_rows > 0) {
      EXPECT_LE(count.rows, table->max_rows) << count.table;
    }
  }
  EXPECT_EQ(Count(*Open(old_shop_->customer()), "SELECT count(*) FROM \"main\""), 1);
}

TEST(ShopRowsTest, SpreadSumsToTheTotalAndKeepsReferenceListsAtTheirSize) {
  const std::vector<TableDef>& tables = ShopTables(Variant::kNew);
  for (int64_t total : {0, 1, 7, 32, 1000, 123457, 1000000}) {
    const TableSizes sizes = SpreadRows(tables, total);
    int64_t sum = 0;
    for (const auto& [name, rows] : sizes) {
      sum += rows;
      const TableDef* table = FindTable(Variant::kNew, name);
      if (table->max_rows > 0) {
        EXPECT_LE(rows, table->max_rows) << name << " of " << total;
      }
    }
    EXPECT_EQ(sum, total);
    EXPECT_EQ(sizes.size(), 32u);
    if (total >= 1000) {
      EXPECT_GT(sizes.at("Repair_Sheet_Part"), sizes.at("Repair_Sheet"));
    }
  }
}

TEST(ShopFilesTest, PackageRowsFillEveryTable) {
  TempDir dir;
  MakeShopFiles({dir.path(), Variant::kNew, 500, 5, 3, false, {}});
  const TableSizes spread = SpreadRows(ShopTables(Variant::kNew), 500);
  for (const char* name : {kAddressBookFile, kCustomerFile}) {
    const fs::path file = dir.path() / name;
    for (const TableCount& count : CountRows(file, KeyFor(file))) {
      EXPECT_EQ(count.rows, spread.at(count.table) + 3) << count.table;
    }
  }
}

// A table given its own row count holds exactly that, whatever --rows
// gives the others; a table the shop does not have is refused.
TEST(ShopFilesTest, TablesGivenTheirOwnRowsHoldThem) {
  ShopOptions options{{}, Variant::kOld, 1000, 1, 2, false, {{"Repair_Sheet_Part", 7000}, {"Pic", 0}}};
  const TableSizes planned = PlannedSizes(options);
  for (const auto& [table, rows] : SpreadRows(ShopTables(Variant::kOld), 1000)) {
    const auto given = options.table_rows.find(table);
    EXPECT_EQ(planned.at(table), (given == options.table_rows.end() ? rows : given->second) + 2) << table;
  }
  options.table_rows["Repair_Sheet_Parts"] = 1;
  EXPECT_THROW(ShopSizes(options), std::runtime_error);
}

// The stored row `id` of `table`, cells as Query gives them.
std::vector<std::string> StoredRow(ShopDb& db, const std::string& table, const std::vector<const Field*>& fields,
                                   int64_t id) {
  std::string names;
  for (const Field* field : fields) names += (names.empty() ? "" : ", ") + QuoteName(field->name);
  return Query(db, "SELECT " + names + " FROM " + QuoteName(table) + " WHERE ID = " + std::to_string(id)).at(0);
}

void ExpectStored(const std::string& stored, const Value& value, const std::string& where) {
  switch (value.type) {
    case Value::Type::kNull: EXPECT_EQ(stored, "<null>") << where; break;
    case Value::Type::kInteger: EXPECT_EQ(stored, std::to_string(value.integer)) << where; break;
    case Value::Type::kReal: EXPECT_DOUBLE_EQ(std::stod(stored), value.real) << where; break;
    case Value::Type::kText:
    case Value::Type::kBlob: EXPECT_EQ(stored, value.bytes) << where; break;
  }
}

TEST_F(ShopDataTest, ChineseTextAndPicturesRoundTrip) {
  const TableSizes sizes = PlannedSizes(old_shop_->options);
  auto book = Open(old_shop_->address_book()), car = Open(old_shop_->customer());
  struct Case { const char* table; ShopDb* db; };
  const Case cases[] = {{"CarOwner", car.get()}, {"Pic", book.get()}, {"SmsSend", car.get()},
                        {"main", car.get()},     {"RepairCase", car.get()}};
  for (const Case& c : cases) {
    RowGenerator rows(*FindTable(Variant::kOld, c.table), kSeed, 1, sizes.at(c.table), sizes);
    for (int64_t id = 1; id <= 3 && rows.Next(); ++id) {
      const std::vector<std::string> stored = StoredRow(*c.db, c.table, rows.fields(), id);
      ASSERT_EQ(stored.size(), rows.values().size());
      for (size_t i = 0; i < stored.size(); ++i) {
        ExpectStored(stored[i], rows.values()[i], std::string(c.table) + "." + rows.fields()[i]->name);
      }
    }
  }
  const std::string name = Query(*car, "SELECT OwnerName FROM CarOwner").at(0).at(0);
  EXPECT_GE(name.size(), 6u);                      // two or more CJK characters, three bytes each
  EXPECT_EQ(static_cast<unsigned char>(name[0]) & 0xF0, 0xE0);
}

TEST_F(ShopDataTest, PicturesAreValidBitmaps) {
  auto book = Open(old_shop_->address_book());
  const Rows pictures = Query(*book, "SELECT Picture, PicType FROM Pic");
  ASSERT_GT(pictures.size(), 0u);
  for (const std::vector<std::string>& row : pictures) {
    const std::string& bmp = row[0];
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto le32 = [&bmp](size_t at) {
      uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bmp[at + static_cast<size_t>(i)]);
      return v;
    };
    EXPECT_EQ(le32(2), bmp.size());  // file size field
    EXPECT_EQ(le32(18), 32u);        // width
    EXPECT_EQ(le32(22), 32u);        // height
    EXPECT_EQ(bmp.size(), 54u + 32 * 32 * 3);
    EXPECT_EQ(row[1], "bmp");        // the field's DEFAULT
  }
  EXPECT_GT(Count(*book, "SELECT count(DISTINCT Picture) FROM Pic"), 1);
}

TEST_F(ShopDataTest, RecordsHangTogether) {
  auto car = Open(old_shop_->customer());
  struct Case { const char* what; const char* sql; };
  const Case cases[] = {
      {"part lines of missing sheets",
       "SELECT count(*) FROM Repair_Sheet_Part WHERE SheetID NOT IN (SELECT ID FROM Repair_Sheet)"},
      {"work lines of missing sheets",
       "SELECT count(*) FROM Repair_Sheet_Work WHERE SheetID NOT IN (SELECT ID FROM Repair_Sheet)"},
      {"sheets naming another person than the owner",
       "SELECT count(*) FROM Repair_Sheet s JOIN CarOwner o ON o.ID = s.CustomerID "
       "WHERE o.OwnerName <> s.CustomerName OR o.CarNo <> s.CarNo"},
      {"part amounts not quantity times price",
       "SELECT count(*) FROM Repair_Sheet_Part WHERE abs(Amount - Qty * Price) > 0.005"},
      {"cars returned before they came in", "SELECT count(*) FROM Repair_Sheet WHERE OutDate < substr(InDate, 1, 10)"},
      {"mobiles not of eleven digits", "SELECT count(*) FROM CarOwner WHERE Mobile NOT GLOB '1[3-9][0-9]*' "
                                       "OR length(Mobile) <> 11"},
  };
  for (const Case& c : cases) EXPECT_EQ(Count(*car, c.sql), 0) << c.what;
  EXPECT_EQ(Count(*car, "SELECT count(*) FROM Repair_Sheet s JOIN CarOwner o ON o.ID = s.CustomerID"),
            Count(*car, "SELECT count(*) FROM Repair_Sheet"));
}

// Every cell of every table of a file, in a fixed order.
std::vector<Rows> Dump(const fs::path& file) {
  auto db = Open(file);
  std::vector<Rows> dump;
  const Rows tables = Query(*db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
  for (const std::vector<std::string>& table : tables) {
    dump.push_back(Query(*db, "SELECT * FROM " + QuoteName(table[0]) + " ORDER BY ID"));
  }
  return dump;
}

TEST_F(ShopDataTest, SameSeedSameRowsOtherSeedOtherRows) {
  std::unique_ptr<Shop> again(Make(Variant::kOld, kSeed));
  std::unique_ptr<Shop> other(Make(Variant::kOld, kSeed + 1));
  for (const char* name : {kAddressBookFile, kCustomerFile}) {
    const std::vector<Rows> first = Dump(old_shop_->dir.path() / name);
    EXPECT_EQ(Dump(again->dir.path() / name), first) << name;
    EXPECT_NE(Dump(other->dir.path() / name), first) << name;
  }
}

TEST(ShopFilesTest, RefusesToReplaceFilesUnlessForced) {
  TempDir dir;
  MakeShopFiles({dir.path(), Variant::kOld, 100, 1, 0, false, {}});
  const std::string before = ReadBytes(dir.path() / kCustomerFile);
  EXPECT_THROW(MakeShopFiles({dir.path(), Variant::kNew, 100, 1, 0, false, {}}), std::runtime_error);
  EXPECT_EQ(ReadBytes(dir.path() / kCustomerFile), before);
  MakeShopFiles({dir.path(), Variant::kNew, 100, 1, 0, true, {}});
  const fs::path car = dir.path() / kCustomerFile;
  EXPECT_EQ(Query(car, kCustomerKey, "PRAGMA table_info(CarOwner)").back().at(1), "WeChat");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.path())) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{kAddressBookFile, kCustomerFile}));
}

}  // namespace
}  // namespace brevak::shop
