// The data migration from outside: after a real update of a shop's
// machine, the user's records are in the new databases, row for row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "blackbox/moved_tables.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

constexpr char kUpdate[] = "yes\nclick CmdUpdate\nok\n";

// The bar's lines of one update: shown, 19 after the address book, then
// 3 more per entry up to 97, hidden.
std::vector<std::string> ExpectedProgress() {
  std::vector<std::string> lines = {"progress visible 1", "progress value 19"};
  for (int value = 22; value <= 97; value += 3) lines.push_back("progress value " + std::to_string(value));
  lines.push_back("progress visible 0");
  return lines;
}

std::vector<std::string> ProgressLines(const ToolRun& run) { return run.LinesStartingWith("progress "); }

std::string Joined(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : "、") + name;
  return joined;
}

// With nothing the tool can find that a retry would need removed, the
// engine's word on the first table not moved ends it.
std::string NotMovedBox(const ShopMachine& machine, const std::vector<std::string>& failed,
                        const std::string& unknown_field) {
  const std::string backup = machine.BackupFolders().empty() ? "?" : machine.BackupFolders()[0].filename().string();
  // Tables the old database never had are named in the upgrade log only.
  return OkBox("升级没有完成：有 " + std::to_string(failed.size()) + " 个数据表的数据没有转移到新版本中：\r\n" +
               Joined(failed) +
               "\r\n这些数据没有丢失，仍保存在" + NamedBackup(machine.InstallWindows(), backup) + "中。" +
               "\r\n再次点击“开始更新”也不能解决这个问题，请联系技术支持；在此之前请先不要在Brevak中录入数据。"
               "\r\n数据库引擎的说明：The INSERT INTO statement contains the following unknown field name: '" +
               unknown_field + "'. Make sure you have typed the name correctly, and try the operation again.");
}


// One shop's machine after one plain update, shared by the checks that
// only read it.
class UpdatedShopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    machine_ = new ShopMachine;
    run_ = new ToolRun(machine_->Run(kUpdate));
  }
  static void TearDownTestSuite() {
    delete run_;
    delete machine_;
  }
  void SetUp() override {
    ASSERT_EQ(run_->LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run_->Describe();
    ASSERT_EQ(machine_->BackupFolders().size(), 1u);
  }
  static const ShopMachine& machine() { return *machine_; }
  static fs::path backup() { return machine_->BackupFolders().at(0); }

  static ShopMachine* machine_;
  static ToolRun* run_;
};

ShopMachine* UpdatedShopTest::machine_ = nullptr;
ToolRun* UpdatedShopTest::run_ = nullptr;

TEST_F(UpdatedShopTest, TheBarRunsFrom19To97AndTheUpgradeIsComplete) {
  std::vector<std::string> expected = ExpectedProgress();
  expected.push_back(kUpgradeComplete);
  EXPECT_EQ(Between(run_->transcript, "progress visible 1", "answer ok"), expected) << run_->Describe();
  EXPECT_EQ(run_->exit_code, 0);
}

TEST_F(UpdatedShopTest, EveryMovedTableHoldsTheBackupsRowsRowForRow) {
  const Digests moved = DigestMoved(machine().install(), backup());
  const Digests saved = DigestMoved(backup(), backup());
  const Digests shipped = DigestMoved(machine().package(), backup());
  for (const ShopTable& table : MovedTables()) {
    SCOPED_TRACE(table.name);
    EXPECT_GT(saved.at(table.name).rows, 0);
    EXPECT_EQ(moved.at(table.name), saved.at(table.name));
    // The package ships other rows, so the comparison tells them apart.
    EXPECT_NE(moved.at(table.name), shipped.at(table.name));
  }
}

TEST_F(UpdatedShopTest, ChineseTextAndPicturesArriveByteForByte) {
  const fs::path addr = machine().install() / "Addr.mdb";
  const fs::path backup_addr = backup() / "Addr.mdb";
  // The rows hold what the comparison is about: names in Chinese, pictures.
  const std::string chinese_names = "SELECT count(*) FROM People WHERE length(CAST(Name AS BLOB)) > length(Name)";
  const std::string pictures = "SELECT count(*) FROM Pic WHERE typeof(Picture) = 'blob' AND length(Picture) > 100";
  EXPECT_NE(QueryColumn(backup_addr, "", chinese_names), std::vector<std::string>{"0"});
  EXPECT_NE(QueryColumn(backup_addr, "", pictures), std::vector<std::string>{"0"});
  const std::string all_pictures = "SELECT hex(Picture) FROM Pic ORDER BY ID";
  EXPECT_EQ(QueryColumn(addr, "", all_pictures), QueryColumn(backup_addr, "", all_pictures));
  const std::string all_names = "SELECT Name || '|' || Address FROM People ORDER BY ID";
  EXPECT_EQ(QueryColumn(addr, "", all_names), QueryColumn(backup_addr, "", all_names));
}

TEST_F(UpdatedShopTest, RepairCaseHoldsTheBackupsRowsOnce) {
  const std::string count = "SELECT count(*) FROM RepairCase";
  const auto moved = QueryColumn(machine().install() / "Customerdata.car", kCustomerKey, count);
  EXPECT_EQ(moved, QueryColumn(backup() / "Customerdata.car", kCustomerKey, count));
  EXPECT_NE(moved, std::vector<std::string>{"0"});
}

TEST_F(UpdatedShopTest, TheNewFieldTakesItsDefaultAndTheUnlistedTableKeepsThePackagesRows) {
  const fs::path customer = machine().install() / "Customerdata.car";
  const auto fields = FieldNames(customer, kCustomerKey, "CarOwner");
  ASSERT_NE(std::find(fields.begin(), fields.end(), "WeChat"), fields.end());
  EXPECT_EQ(QueryColumn(customer, kCustomerKey, "SELECT count(*) FROM CarOwner WHERE WeChat IS NOT ''"),
            std::vector<std::string>{"0"});
  EXPECT_NE(QueryColumn(customer, kCustomerKey, "SELECT count(*) FROM CarOwner"), std::vector<std::string>{"0"});

  const std::vector<ShopTable> discounts = {{"Ins_Discount", "Customerdata.car", kCustomerKey}};
  const TableDigest kept = DigestMoved(machine().install(), machine().package(), discounts).at("Ins_Discount");
  EXPECT_EQ(kept, DigestMoved(machine().package(), machine().package(), discounts).at("Ins_Discount"));
  EXPECT_NE(kept, DigestMoved(backup(), machine().package(), discounts).at("Ins_Discount"));
}

// A table that cannot move keeps the package's rows and is named; every
// other table moves.
struct Unmovable {
  const char* name;
  const char* addr_sql;      // run on the installation's Addr.mdb first
  const char* customer_sql;  // run on the installation's Customerdata.car first
  std::vector<std::string> failed;
  std::vector<std::string> absent;  // listed tables the old database lacks: nothing to move
  const char* unknown_field = "";   // the first failed table's field the new table lacks
};

void PrintTo(const Unmovable& c, std::ostream* os) { *os << c.name; }

class UnmovableTableTest : public ::testing::TestWithParam<Unmovable> {};

TEST_P(UnmovableTableTest, KeepsThePackagesRowsIsNamedAndTheOthersMove) {
  const Unmovable& c = GetParam();
  ShopMachine machine;
  if (*c.addr_sql != '\0') ExecSql(machine.install() / "Addr.mdb", "", c.addr_sql);
  if (*c.customer_sql != '\0') ExecSql(machine.install() / "Customerdata.car", kCustomerKey, c.customer_sql);

  const ToolRun run = machine.Run(kUpdate);

  const std::string expected = c.failed.empty()
                                   ? OkBox("升级完成")
                                   : NotMovedBox(machine, c.failed, c.unknown_field);
  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{expected}) << run.Describe();
  EXPECT_EQ(ProgressLines(run), ExpectedProgress());
  const fs::path backup = machine.BackupFolders().at(0);
  const Digests as_backup = DigestMoved(machine.install(), backup);
  const Digests saved = DigestMoved(backup, backup);
  const Digests as_package = DigestMoved(machine.install(), machine.package());
  const Digests shipped = DigestMoved(machine.package(), machine.package());
  for (const ShopTable& table : MovedTables()) {
    SCOPED_TRACE(table.name);
    const auto in = [&](const std::vector<std::string>& names) {
      return std::find(names.begin(), names.end(), table.name) != names.end();
    };
    if (in(c.failed) || in(c.absent)) {
      EXPECT_EQ(as_package.at(table.name), shipped.at(table.name));
    } else {
      EXPECT_EQ(as_backup.at(table.name), saved.at(table.name));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnmovableTableTest,
    ::testing::Values(
        Unmovable{"FieldTheNewTableLacks", "", "ALTER TABLE SalesOff ADD COLUMN OldRate REAL DEFAULT 1", {"SalesOff"}, {}, "OldRate"},
        Unmovable{"TableMissingFromTheBackup", "", "DROP TABLE SmsSave", {}, {"SmsSave"}},
        Unmovable{"BothInListOrder", "", "DROP TABLE Huifang_main; ALTER TABLE Cash_In ADD COLUMN Till TEXT",
                  {"Cash_In"}, {"Huifang_main"}, "Till"},
        Unmovable{"RepairCaseNamedOnce", "", "DROP TABLE RepairCase", {}, {"RepairCase"}},
        Unmovable{"AddressBookTable", "DROP TABLE Pic", "", {}, {"Pic"}},
        Unmovable{"TwoFieldsTheNewTablesLack", "", "ALTER TABLE SalesOff ADD COLUMN OldRate REAL DEFAULT 1; "
                  "ALTER TABLE Huifang_kind ADD COLUMN Old TEXT", {"SalesOff", "Huifang_kind"}, {}, "OldRate"}),
    [](const auto& info) { return std::string(info.param.name); });

// The second update of a run reopens the address book for itself: its
// rows come back from the second backup instead of staying as the package
// ships them.
TEST(MigrationTest, ASecondUpdateInTheSameRunCarriesTheAddressBookAgain) {
  ShopMachine machine;
  const fs::path original = machine.prefix().root() / "original";
  fs::create_directories(original);
  fs::copy_file(machine.install() / "Addr.mdb", original / "Addr.mdb");

  // The backup folders are named by the second: the wait keeps them apart.
  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\nwait 1.2\nclick CmdUpdate\nyes\nok\n");

  EXPECT_EQ(run.LinesStartingWith("msgbox"),
            (std::vector<std::string>{StartPromptLine(), kUpgradeComplete, kNotNewerQuestion, kUpgradeComplete}))
      << run.Describe();
  ASSERT_EQ(machine.BackupFolders().size(), 2u);
  const Digests now = DigestMoved(machine.install(), original, AddressBookTables());
  EXPECT_EQ(now, DigestMoved(original, original, AddressBookTables()));
  const Digests shipped = DigestMoved(machine.package(), original, AddressBookTables());
  for (const ShopTable& table : AddressBookTables()) EXPECT_NE(now.at(table.name), shipped.at(table.name)) << table.name;
}

}  // namespace
}  // namespace brevak::testing
