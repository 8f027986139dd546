#ifndef BREVAK_TOOLS_SHOP_SHOP_SCHEMA_H_
#define BREVAK_TOOLS_SHOP_SHOP_SCHEMA_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shop/shop_words.h"

namespace brevak::shop {

inline constexpr char kAddressBookFile[] = "Addr.mdb";
inline constexpr char kCustomerFile[] = "Customerdata.car";
// The customer database's password; the address book has none.
inline constexpr char kCustomerKey[] = "mqzvtw";

// The installed release (5.06.0004) and the package (5.06.0005), whose
// CarOwner table has one field more: WeChat TEXT DEFAULT ''.
enum class Variant { kOld, kNew };
std::optional<Variant> ParseVariant(std::string_view text);  // "old" / "new"

enum class Store { kAddressBook, kCustomer };

// How the row generator fills a field.
enum class Gen : uint8_t {
  kId,           // the row's number, the table's INTEGER PRIMARY KEY
  kDefault,      // not inserted: the field takes its DEFAULT
  kRef,          // a row number of the table `ref`
  kCustomerNo,   // the number of the customer the row is about
  kPick,         // a random word of `pool`
  kCycle,        // word (row number - 1) of `pool`: reference lists
  kNote,         // a word of `pool` in `lo` percent of rows, else ''
  kText,         // the text `ref`
  kInt,          // lo..hi
  kMoney,        // lo..hi yuan, two decimals
  kRate,         // lo..hi hundredths
  kDate, kDateTime, kLaterDate /* lo..hi days after the row's date */, kBirthday,
  kName, kSex, kMobile, kPhone, kAddress, kCompany, kQQ, kWeChat,
  kPlate, kBrand, kModel, kMaker, kColor, kVin, kEngineNo, kMileage, kCarModelName,
  kStaff,        // one of the shop's staff
  kContact,      // some other person
  kCode,         // prefix `ref` + date + number: sheet numbers
  kDigits,      // prefix `ref` + lo random digits
  kBuyDate, kCardNo, kPassword, kRights, kShopName, kSupplier, kSms,
  kPicture, kMaybePicture /* in lo percent of rows */,
  kPartName, kPartSpec, kPartUnit, kPartNo, kPartPrice, kWorkName, kWorkHours, kWorkPrice,
  kQty,          // lo..hi pieces
  kAmount,       // quantity x price of the row
  kPartTotal, kWorkTotal, kSheetTotal,
  kCaseFault, kCaseCause, kCaseSolution,
};

struct Field {
  const char* name;
  const char* type;         // INTEGER, TEXT, REAL or BLOB
  const char* default_sql;  // the DEFAULT clause's value, or nullptr
  Gen gen;
  const Pool* pool = nullptr;
  const char* ref = nullptr;
  int lo = 0;
  int hi = 0;
};

struct TableDef {
  const char* name;
  Store store;
  bool migrated;     // carried over by the upgrade
  int weight;        // share of a shop's rows
  int64_t max_rows;  // a reference list's natural size; 0: unbounded
  std::vector<Field> fields;
};

// The 32 tables of a shop: the address book's three, then the customer
// database's 29 (28 migrated, and Ins_Discount, which is not).
const std::vector<TableDef>& ShopTables(Variant variant);
const TableDef* FindTable(Variant variant, std::string_view name);
// CREATE TABLE for the table, names quoted.
std::string CreateTableSql(const TableDef& table);
// The customer tables the upgrade moves, in its order: 29 entries,
// RepairCase at 17 and again at 25.
const std::vector<std::string>& CustomerMigrationList();

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_SCHEMA_H_
