#include "shop/shop_schema.h"

#include "shop/shop_db.h"

namespace brevak::shop {
namespace {

Field Id() { return {"ID", "INTEGER", nullptr, Gen::kId}; }
Field Text(const char* name, Gen gen, const char* def = nullptr) { return {name, "TEXT", def, gen}; }
Field Int(const char* name, Gen gen, int lo = 0, int hi = 0, const char* def = nullptr) {
  return {name, "INTEGER", def, gen, nullptr, nullptr, lo, hi};
}
Field Real(const char* name, Gen gen, int lo = 0, int hi = 0, const char* def = nullptr) {
  return {name, "REAL", def, gen, nullptr, nullptr, lo, hi};
}
Field Blob(const char* name, Gen gen, int percent = 100) {
  return {name, "BLOB", nullptr, gen, nullptr, nullptr, percent, 0};
}
Field Pick(const char* name, const Pool& pool) { return {name, "TEXT", nullptr, Gen::kPick, &pool}; }
Field Cycle(const char* name, const Pool& pool) { return {name, "TEXT", nullptr, Gen::kCycle, &pool}; }
Field Note(const char* name, int percent, const Pool& pool) {
  return {name, "TEXT", "''", Gen::kNote, &pool, nullptr, percent, 0};
}
Field Ref(const char* name, const char* table) { return {name, "INTEGER", "0", Gen::kRef, nullptr, table}; }
Field Code(const char* name, const char* prefix) { return {name, "TEXT", nullptr, Gen::kCode, nullptr, prefix}; }
Field Digits(const char* name, const char* prefix, int count) {
  return {name, "TEXT", nullptr, Gen::kDigits, nullptr, prefix, count, 0};
}
Field Later(const char* name, int lo, int hi) {
  return {name, "TEXT", nullptr, Gen::kLaterDate, nullptr, nullptr, lo, hi};
}
Field Remark() { return Note("Remark", 15, kNotes); }

std::vector<TableDef> AddressBookTables() {
  return {
      {"GroupList", Store::kAddressBook, true, 1, 8,
       {Id(), Cycle("GroupName", kGroups), Int("SortNo", Gen::kInt, 1, 99, "0"), Remark()}},
      {"People", Store::kAddressBook, true, 20, 0,
       {Id(), Text("Name", Gen::kName), Text("Sex", Gen::kSex), Text("Phone", Gen::kPhone, "''"),
        Text("Mobile", Gen::kMobile, "''"), Text("Address", Gen::kAddress, "''"), Text("Company", Gen::kCompany, "''"),
        Pick("Title", kTitles), Ref("GroupID", "GroupList"), Text("Birthday", Gen::kBirthday),
        Text("QQ", Gen::kQQ, "''"), Note("Notes", 25, kNotes)}},
      {"Pic", Store::kAddressBook, true, 3, 0,
       {Id(), Ref("PeopleID", "People"), Blob("Picture", Gen::kPicture), Text("PicType", Gen::kDefault, "'bmp'")}},
  };
}

std::vector<TableDef> ReferenceTables() {
  return {
      {"main", Store::kCustomer, true, 1, 1,
       {Id(), Text("ShopName", Gen::kShopName), Text("Owner", Gen::kName), Text("Tel", Gen::kPhone),
        Text("Fax", Gen::kPhone, "''"), Text("Address", Gen::kAddress), Digits("TaxNo", "91440300", 10),
        Digits("RegCode", "BRV", 12), Text("DbVersion", Gen::kDefault, "'5.06'"), Blob("Logo", Gen::kPicture)}},
      {"car_name", Store::kCustomer, true, 2, 2000,
       {Id(), Text("Brand", Gen::kBrand), Text("Model", Gen::kCarModelName), Text("Maker", Gen::kMaker), Remark()}},
      {"Ins_Name", Store::kCustomer, true, 1, 12,
       {Id(), Cycle("InsCompany", kInsCompanies), Text("Contact", Gen::kContact), Text("Tel", Gen::kPhone),
        Text("Address", Gen::kAddress), Remark()}},
      {"Huifang_kind", Store::kCustomer, true, 1, 6,
       {Id(), Cycle("KindName", kHuifangKinds), Int("DaysAfter", Gen::kInt, 3, 30, "7"),
        Cycle("Template", kHuifangTemplates)}},
      {"UserTab", Store::kCustomer, true, 1, 7,
       {Id(), Cycle("UserName", kUserRoles), Text("Password", Gen::kPassword), Text("RealName", Gen::kStaff),
        Text("Rights", Gen::kRights), Int("Enabled", Gen::kDefault, 0, 0, "1"), Text("LastLogin", Gen::kDateTime)}},
      {"SmsReg", Store::kCustomer, true, 1, 1,
       {Id(), Digits("RegCode", "SMS", 10), Text("Account", Gen::kMobile), Text("Password", Gen::kPassword),
        Text("Signature", Gen::kShopName), Int("Balance", Gen::kInt, 0, 5000, "0"), Text("RegDate", Gen::kDate)}},
      {"SmsSave", Store::kCustomer, true, 1, 6,
       {Id(), Cycle("Title", kSmsTitles), Cycle("Content", kSmsTemplates), Cycle("Kind", kSmsTitles)}},
  };
}

std::vector<TableDef> CustomerTables() {
  return {
      {"CarOwner", Store::kCustomer, true, 40, 0,
       {Id(), Text("CarNo", Gen::kPlate), Text("OwnerName", Gen::kName), Text("Sex", Gen::kSex),
        Text("Tel", Gen::kPhone, "''"), Text("Mobile", Gen::kMobile), Text("Address", Gen::kAddress, "''"),
        Text("Company", Gen::kCompany, "''"), Text("Brand", Gen::kBrand), Text("Model", Gen::kModel),
        Text("Color", Gen::kColor), Text("VIN", Gen::kVin), Text("EngineNo", Gen::kEngineNo),
        Text("BuyDate", Gen::kBuyDate), Int("Mileage", Gen::kMileage, 0, 0, "0"),
        Pick("InsCompany", kInsCompanies), Later("InsEndDate", 1, 365), Later("CheckDate", 1, 365),
        {"ClubCardNo", "TEXT", "''", Gen::kCardNo, nullptr, nullptr, 30}, Remark(), Text("InputDate", Gen::kDateTime)}},
      {"Repair_Customer", Store::kCustomer, true, 40, 0,
       {Id(), Text("CustomerName", Gen::kName), Text("Mobile", Gen::kMobile), Text("Tel", Gen::kPhone, "''"),
        Text("Company", Gen::kCompany, "''"), Text("Address", Gen::kAddress, "''"), Text("CarNo", Gen::kPlate),
        Text("Brand", Gen::kBrand), Int("VisitCount", Gen::kInt, 1, 30, "1"), Text("LastDate", Gen::kDate), Remark()}},
      {"Car_Club", Store::kCustomer, true, 5, 0,
       {Id(), Text("CardNo", Gen::kCardNo), Text("CarNo", Gen::kPlate), Text("CustomerName", Gen::kName),
        Text("Mobile", Gen::kMobile), Pick("CardType", kCardTypes), Real("Discount", Gen::kRate, 70, 100, "1"),
        Real("Balance", Gen::kMoney, 0, 5000, "0"), Int("Points", Gen::kInt, 0, 20000, "0"),
        Text("OpenDate", Gen::kDate), Later("EndDate", 365, 730), Remark()}},
      {"WillCustomer", Store::kCustomer, true, 10, 0,
       {Id(), Text("CustomerName", Gen::kName), Text("Mobile", Gen::kMobile), Text("CarNo", Gen::kPlate, "''"),
        Text("Brand", Gen::kBrand), Pick("Interest", kInterests), Pick("Source", kSources),
        Text("FollowDate", Gen::kDate), Text("Operator", Gen::kStaff), Remark()}},
  };
}

std::vector<TableDef> RepairTables() {
  return {
      {"Repair_Sheet", Store::kCustomer, true, 80, 0,
       {Id(), Code("SheetNo", "WX"), Text("CarNo", Gen::kPlate), Int("CustomerID", Gen::kCustomerNo),
        Text("CustomerName", Gen::kName), Text("Mobile", Gen::kMobile), Text("Brand", Gen::kBrand),
        Int("Mileage", Gen::kMileage), Text("InDate", Gen::kDateTime), Later("OutDate", 0, 3),
        Text("Fault", Gen::kCaseFault), Pick("Status", kSheetStatus), Text("Worker", Gen::kStaff),
        Real("PartTotal", Gen::kPartTotal, 0, 3000, "0"), Real("WorkTotal", Gen::kWorkTotal, 0, 1500, "0"),
        Real("Discount", Gen::kRate, 80, 100, "1"), Real("Total", Gen::kSheetTotal, 0, 0, "0"),
        Pick("PayMode", kPayModes), Text("Operator", Gen::kStaff), Remark()}},
      {"Repair_Sheet_Part", Store::kCustomer, true, 300, 0,
       {Id(), Ref("SheetID", "Repair_Sheet"), Text("PartNo", Gen::kPartNo), Text("PartName", Gen::kPartName),
        Text("Spec", Gen::kPartSpec, "''"), Text("Unit", Gen::kPartUnit), Real("Qty", Gen::kQty, 1, 4, "1"),
        Real("Price", Gen::kPartPrice, 0, 0, "0"), Real("Amount", Gen::kAmount, 0, 0, "0"),
        Real("Cost", Gen::kMoney, 5, 800), Remark()}},
      {"Repair_Sheet_Work", Store::kCustomer, true, 250, 0,
       {Id(), Ref("SheetID", "Repair_Sheet"), Text("WorkName", Gen::kWorkName),
        Real("WorkHours", Gen::kWorkHours, 0, 0, "0"), Real("Price", Gen::kWorkPrice, 0, 0, "0"),
        Real("Amount", Gen::kAmount, 0, 0, "0"), Text("Worker", Gen::kStaff), Remark()}},
      {"RepairCase", Store::kCustomer, true, 5, 0,
       {Id(), Text("Brand", Gen::kBrand), Text("Model", Gen::kModel), Text("Fault", Gen::kCaseFault),
        Text("Cause", Gen::kCaseCause), Text("Solution", Gen::kCaseSolution), Text("Author", Gen::kStaff),
        Text("CaseDate", Gen::kDate), Blob("Photo", Gen::kMaybePicture, 10)}},
      {"Huifang_main", Store::kCustomer, true, 20, 0,
       {Id(), Ref("SheetID", "Repair_Sheet"), Text("CarNo", Gen::kPlate), Text("CustomerName", Gen::kName),
        Text("Mobile", Gen::kMobile), Ref("KindID", "Huifang_kind"), Text("PlanDate", Gen::kDate),
        Later("DoneDate", 0, 14), Pick("Satisfaction", kSatisfaction), Pick("Content", kCallContents),
        Text("Operator", Gen::kStaff)}},
  };
}

std::vector<TableDef> MoneyTables() {
  return {
      {"Cash_In", Store::kCustomer, true, 50, 0,
       {Id(), Text("InDate", Gen::kDateTime), Pick("Item", kCashInItems), Real("Amount", Gen::kMoney, 20, 5000),
        Pick("PayMode", kPayModes), Code("SheetNo", "WX"), Text("Payer", Gen::kName), Text("Operator", Gen::kStaff),
        Remark()}},
      {"Cash_Out", Store::kCustomer, true, 20, 0,
       {Id(), Text("OutDate", Gen::kDateTime), Pick("Item", kCashOutItems), Real("Amount", Gen::kMoney, 50, 20000),
        Pick("PayMode", kPayModes), Text("Payee", Gen::kSupplier), Text("Operator", Gen::kStaff), Remark()}},
      {"SalesMoney", Store::kCustomer, true, 15, 0,
       {Id(), Text("SaleDate", Gen::kDateTime), Text("CustomerName", Gen::kName), Text("CarNo", Gen::kPlate, "''"),
        Text("Goods", Gen::kPartName), Real("Qty", Gen::kQty, 1, 4, "1"), Real("Price", Gen::kPartPrice),
        Real("Amount", Gen::kAmount), Pick("PayMode", kPayModes), Text("Operator", Gen::kStaff)}},
      {"SalesOff", Store::kCustomer, true, 10, 0,
       {Id(), Text("OffDate", Gen::kDateTime), Text("CustomerName", Gen::kName), Text("Goods", Gen::kPartName),
        Real("Qty", Gen::kQty, 1, 2, "1"), Real("Price", Gen::kPartPrice), Real("Amount", Gen::kAmount),
        Pick("Reason", kReturnReasons), Text("Operator", Gen::kStaff)}},
  };
}

std::vector<TableDef> InsuranceTables() {
  return {
      {"Ins_Policy", Store::kCustomer, true, 15, 0,
       {Id(), Digits("PolicyNo", "PDAA", 18), Text("CarNo", Gen::kPlate), Text("OwnerName", Gen::kName),
        Text("Mobile", Gen::kMobile), Ref("InsCompanyID", "Ins_Name"), Pick("InsKind", kInsKinds),
        Real("Premium", Gen::kMoney, 950, 12000), Text("StartDate", Gen::kDate), Later("EndDate", 365, 365),
        Text("Agent", Gen::kStaff), Real("Commission", Gen::kMoney, 0, 1500, "0"), Remark()}},
      {"Ins_Return", Store::kCustomer, true, 8, 0,
       {Id(), Ref("PolicyID", "Ins_Policy"), Text("ReturnDate", Gen::kDate), Real("Rate", Gen::kRate, 5, 30),
        Real("Amount", Gen::kMoney, 50, 3000), Text("Operator", Gen::kStaff), Remark()}},
      {"InsCulHistory", Store::kCustomer, true, 8, 0,
       {Id(), Ref("PolicyID", "Ins_Policy"), Text("CarNo", Gen::kPlate), Text("FollowDate", Gen::kDateTime),
        Pick("Content", kCallContents), Pick("Result", kCallResults), Text("Operator", Gen::kStaff)}},
      {"Ins_Discount", Store::kCustomer, false, 1, 400,
       {Id(), Ref("InsCompanyID", "Ins_Name"), Pick("InsKind", kInsKinds), Pick("CarKind", kCarKinds),
        Int("ClaimFreeYears", Gen::kInt, 0, 5, "0"), Real("Rate", Gen::kRate, 50, 130, "1"), Remark()}},
  };
}

std::vector<TableDef> OfficeTables() {
  return {
      {"Call_Manager", Store::kCustomer, true, 15, 0,
       {Id(), Text("CarNo", Gen::kPlate), Text("CustomerName", Gen::kName), Text("Mobile", Gen::kMobile),
        Text("CallDate", Gen::kDateTime), Pick("CallType", kCallTypes), Pick("Content", kCallContents),
        Text("Operator", Gen::kStaff), Pick("Result", kCallResults), Later("NextDate", 7, 90)}},
      {"InCall", Store::kCustomer, true, 15, 0,
       {Id(), Text("CallTime", Gen::kDateTime), Text("Phone", Gen::kMobile), Text("CallerName", Gen::kName),
        Text("CarNo", Gen::kPlate, "''"), Pick("Content", kCallContents), Text("Operator", Gen::kStaff),
        Int("Handled", Gen::kInt, 0, 1, "0")}},
      {"LogSave", Store::kCustomer, true, 40, 0,
       {Id(), Text("LogTime", Gen::kDateTime), Text("UserName", Gen::kStaff), Pick("Action", kLogActions),
        Code("Detail", "WX"), Pick("Computer", kComputers)}},
      {"ScheduleSave", Store::kCustomer, true, 10, 0,
       {Id(), Text("PlanDate", Gen::kDateTime), Pick("Title", kScheduleTitles), Pick("Content", kCallContents),
        Int("Remind", Gen::kInt, 0, 1, "1"), Int("Done", Gen::kInt, 0, 1, "0"), Text("UserName", Gen::kStaff)}},
      {"SmsSend", Store::kCustomer, true, 40, 0,
       {Id(), Text("SendTime", Gen::kDateTime), Text("Mobile", Gen::kMobile), Text("ReceiverName", Gen::kName),
        Text("Content", Gen::kSms), Pick("Status", kSmsStatus), Text("Operator", Gen::kStaff)}},
  };
}

void Append(std::vector<TableDef>& to, std::vector<TableDef> from) {
  for (TableDef& table : from) to.push_back(std::move(table));
}

std::vector<TableDef> BuildTables(Variant variant) {
  std::vector<TableDef> tables = AddressBookTables();
  Append(tables, ReferenceTables());
  Append(tables, CustomerTables());
  Append(tables, RepairTables());
  Append(tables, MoneyTables());
  Append(tables, InsuranceTables());
  Append(tables, OfficeTables());
  if (variant == Variant::kNew) {
    for (TableDef& table : tables) {
      if (std::string_view(table.name) == "CarOwner") table.fields.push_back(Text("WeChat", Gen::kWeChat, "''"));
    }
  }
  return tables;
}

}  // namespace

std::optional<Variant> ParseVariant(std::string_view text) {
  if (text == "old") return Variant::kOld;
  if (text == "new") return Variant::kNew;
  return std::nullopt;
}

const std::vector<TableDef>& ShopTables(Variant variant) {
  static const std::vector<TableDef> old_tables = BuildTables(Variant::kOld);
  static const std::vector<TableDef> new_tables = BuildTables(Variant::kNew);
  return variant == Variant::kOld ? old_tables : new_tables;
}

const TableDef* FindTable(Variant variant, std::string_view name) {
  for (const TableDef& table : ShopTables(variant)) {
    if (name == table.name) return &table;
  }
  return nullptr;
}

std::string CreateTableSql(const TableDef& table) {
  std::string sql = "CREATE TABLE " + QuoteName(table.name) + " (";
  for (size_t i = 0; i < table.fields.size(); ++i) {
    const Field& field = table.fields[i];
    if (i > 0) sql += ", ";
    sql += QuoteName(field.name) + " " + field.type;
    if (field.gen == Gen::kId) sql += " PRIMARY KEY";
    if (field.default_sql) sql += std::string(" DEFAULT ") + field.default_sql;
  }
  return sql + ")";
}

const std::vector<std::string>& CustomerMigrationList() {
  static const std::vector<std::string> list = {
      "main",          "Call_Manager", "Car_Club",         "car_name",          "CarOwner",
      "Cash_In",       "Cash_Out",     "InCall",           "Ins_Name",          "Ins_Policy",
      "Ins_Return",    "InsCulHistory", "LogSave",         "Repair_Customer",   "Repair_Sheet",
      "Repair_Sheet_Part", "Repair_Sheet_Work", "RepairCase", "SalesMoney",     "SalesOff",
      "ScheduleSave",  "SmsReg",       "SmsSave",          "SmsSend",           "UserTab",
      "RepairCase",    "WillCustomer", "Huifang_kind",     "Huifang_main"};
  return list;
}

}  // namespace brevak::shop
