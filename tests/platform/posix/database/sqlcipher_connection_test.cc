#include "platform/posix/database/sqlcipher_connection.h"

#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/sqlcipher_database.h"
#include "platform/posix/text/utf.h"
#include "support/shop_db.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using testing::MakeShopDb;
using testing::QueryShopDb;
using testing::ShopRow;
using testing::Text;

constexpr char kPassword[] = "mqzvtw";
const std::u16string kInstall = u"C:\\Program Files\\Brevak\\";
const std::u16string kBackup = u"C:\\Program Files\\Brevak\\20261209045000";

const char kAddressBook[] =
    "CREATE TABLE GroupList (ID INTEGER PRIMARY KEY, GroupName TEXT);"
    "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT, GroupID INTEGER, Phone TEXT);"
    "CREATE TABLE Pic (ID INTEGER PRIMARY KEY, PeopleID INTEGER, Photo BLOB);";

std::u16string PlainString(const std::u16string& file) {
  return u"Data Source =" + file + u";Jet OLEDB:Database Password=";
}
std::u16string KeyedString(const std::u16string& file) {
  return u"Data Source =" + file + u";Jet OLEDB:Database Password=" + Utf8ToUtf16(kPassword);
}
std::u16string AppendPlain(const std::u16string& table, const std::u16string& file) {
  return u"Insert into [" + table + u"] Select * From [;database=" + file + u";]." + table;
}
std::u16string AppendKeyed(const std::u16string& table, const std::u16string& file) {
  return u"Insert into [" + table + u"] Select * From [;database=" + file + u";pwd=" +
         Utf8ToUtf16(kPassword) + u"]." + table;
}

// Runs `action`, which must raise the run-time error `number` / `description`.
void ExpectError(const std::function<void()>& action, int32_t number, const std::u16string& description) {
  try {
    action();
    ADD_FAILURE() << "no error, expected " << number << " " << Utf16ToUtf8(description);
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), number) << Utf16ToUtf8(error.description());
    EXPECT_EQ(error.description(), description);
  }
}

std::u16string NotFoundText(const std::u16string& table) {
  return u"The Microsoft Jet database engine cannot find the input table or query '" + table +
         u"'. Make sure it exists and that its name is spelled correctly.";
}

// An installation with its address book and customer database, and a backup
// folder with other rows in both.
class SqlCipherConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeShopDb(Install("Addr.mdb"), "", std::string(kAddressBook) +
               "INSERT INTO GroupList VALUES (1, 'new group');"
               "INSERT INTO People VALUES (1, 'package person', 1, '000');");
    MakeShopDb(Backup("Addr.mdb"), "", std::string(kAddressBook) +
               "INSERT INTO GroupList VALUES (7, '朋友'), (8, '客户');"
               "INSERT INTO People VALUES (3, '张三', 7, '13800000000'), (4, 'O''Brien', 8, NULL);"
               "INSERT INTO Pic VALUES (5, 3, X'00FF10275C22');");
  }

  // The customer databases, keyed: made only where a test needs them, as
  // each key derivation takes a while.
  void MakeCustomerDatabases() {
    const std::string customers =
        "CREATE TABLE main (ID INTEGER PRIMARY KEY, Plate TEXT, Owner TEXT);"
        "CREATE TABLE UserTab (UserName TEXT, Pass TEXT);";
    MakeShopDb(Install("Customerdata.car"), kPassword, customers +
               "INSERT INTO main VALUES (1, 'PKG-1', 'package');");
    MakeShopDb(Backup("Customerdata.car"), kPassword, customers +
               "INSERT INTO main VALUES (10, '京A12345', '李四'), (11, '沪B2', 'Wu');"
               "INSERT INTO UserTab VALUES ('admin', 'x');");
  }

  fs::path Install(const std::string& name) const { return prefix_.OnDriveC("Program Files/Brevak/" + name); }
  fs::path Backup(const std::string& name) const {
    return prefix_.OnDriveC("Program Files/Brevak/20261209045000/" + name);
  }

  std::unique_ptr<SqlCipherConnection> Connect(const std::u16string& connection_string) {
    auto conn = std::make_unique<SqlCipherConnection>(wine_);
    conn->SetProvider(u"Microsoft.Jet.OLEDB.4.0");
    conn->Open(connection_string);
    return conn;
  }
  std::unique_ptr<SqlCipherConnection> ConnectAddressBook() {
    return Connect(PlainString(kInstall + u"Addr.mdb"));
  }
  std::unique_ptr<SqlCipherConnection> ConnectCustomers() {
    return Connect(KeyedString(kInstall + u"Customerdata.car"));
  }

  std::vector<ShopRow> Rows(const fs::path& file, const std::string& password, const std::string& table) {
    return QueryShopDb(file, password, "SELECT * FROM \"" + table + "\" ORDER BY 1");
  }

  testing::TempPrefix prefix_;
  WinePrefix wine_{prefix_.root()};
};

TEST_F(SqlCipherConnectionTest, CreatesConnectionsForAdodbConnectionOnly) {
  SqlCipherDatabase database(wine_);
  for (const std::u16string prog_id : {u"Adodb.Connection", u"ADODB.CONNECTION", u"adodb.connection"}) {
    EXPECT_EQ(database.CreateConnection(prog_id)->State(), adStateClosed);
  }
  for (const std::u16string prog_id : {u"Scripting.FileSystemObject", u"Adodb.Recordset", u""}) {
    ExpectError([&] { database.CreateConnection(prog_id); }, 429, u"ActiveX 部件不能创建对象");
  }
}

TEST_F(SqlCipherConnectionTest, OpensClosesAndOpensAgain) {
  MakeCustomerDatabases();
  auto conn = std::make_unique<SqlCipherConnection>(wine_);
  EXPECT_EQ(conn->State(), adStateClosed);
  conn->SetProvider(u"microsoft.jet.oledb.4.0");
  conn->Open(PlainString(kInstall + u"Addr.mdb"));
  EXPECT_EQ(conn->State(), adStateOpen);
  conn->Close();
  EXPECT_EQ(conn->State(), adStateClosed);
  conn->Open(KeyedString(kInstall + u"Customerdata.car"));
  EXPECT_EQ(conn->State(), adStateOpen);
  conn->Execute(u"delete from main");
  conn->Close();
  EXPECT_TRUE(Rows(Install("Customerdata.car"), kPassword, "main").empty());
}

TEST_F(SqlCipherConnectionTest, OpenFailsAsJetDoes) {
  MakeCustomerDatabases();
  testing::WriteFile(Install("notes.txt"), std::string(4096, 'x'));
  testing::WriteFile(Install("empty.car"), "");
  fs::create_directories(Install("folder.mdb"));
  const std::u16string not_valid = u"Not a valid password.";
  struct Case {
    std::u16string connection_string;
    int32_t number;
    std::u16string description;
  };
  const Case cases[] = {
      {PlainString(kInstall + u"Nothing.mdb"), jet_error::kGeneralFailure,
       u"Could not find file 'C:\\Program Files\\Brevak\\Nothing.mdb'."},
      {PlainString(u"D:\\Brevak\\Addr.mdb"), jet_error::kGeneralFailure,
       u"Could not find file 'D:\\Brevak\\Addr.mdb'."},
      {PlainString(kInstall + u"folder.mdb"), jet_error::kGeneralFailure,
       u"Could not find file 'C:\\Program Files\\Brevak\\folder.mdb'."},
      {u"Jet OLEDB:Database Password=", jet_error::kGeneralFailure, u"Could not find file ''."},
      {u"Data Source =" + kInstall + u"Customerdata.car;Jet OLEDB:Database Password=mqzvtx",
       jet_error::kNotValidPassword, not_valid},
      {PlainString(kInstall + u"Customerdata.car"), jet_error::kNotValidPassword, not_valid},
      {KeyedString(kInstall + u"Addr.mdb"), jet_error::kNotValidPassword, not_valid},
      {PlainString(kInstall + u"notes.txt"), jet_error::kNotValidPassword, not_valid},
      // SQLite alone would take it for an empty database
      {KeyedString(kInstall + u"empty.car"), jet_error::kGeneralFailure,
       u"Unrecognized database format 'C:\\Program Files\\Brevak\\empty.car'."},
      {u"Provider=SQLOLEDB;" + PlainString(kInstall + u"Addr.mdb"), jet_error::kProviderNotFound,
       u"Provider cannot be found. It may not be properly installed."},
  };
  for (const Case& c : cases) {
    SqlCipherConnection conn(wine_);
    conn.SetProvider(u"Microsoft.Jet.OLEDB.4.0");
    ExpectError([&] { conn.Open(c.connection_string); }, c.number, c.description);
    EXPECT_EQ(conn.State(), adStateClosed) << Utf16ToUtf8(c.connection_string);
  }
  EXPECT_FALSE(fs::exists(Install("Nothing.mdb")));
  EXPECT_EQ(testing::ReadFile(Install("notes.txt")), std::string(4096, 'x'));
}

TEST_F(SqlCipherConnectionTest, OpenNeedsTheJetProvider) {
  for (const std::u16string provider : {u"", u"Microsoft.ACE.OLEDB.12.0", u"MSDASQL"}) {
    SqlCipherConnection conn(wine_);
    conn.SetProvider(provider);
    ExpectError([&] { conn.Open(PlainString(kInstall + u"Addr.mdb")); }, jet_error::kProviderNotFound,
                u"Provider cannot be found. It may not be properly installed.");
  }
}

// Changes the current folder for one test.
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : saved_(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST_F(SqlCipherConnectionTest, DataSourceWithoutDriveIsTakenFromTheCurrentFolder) {
  CurrentFolder in_install(Install(""));
  Connect(PlainString(u"Addr.mdb"))->Close();
  Connect(PlainString(u"20261209045000\\ADDR.MDB"))->Close();
  SqlCipherConnection conn(wine_);
  conn.SetProvider(u"Microsoft.Jet.OLEDB.4.0");
  ExpectError([&] { conn.Open(PlainString(u"Other.mdb")); }, jet_error::kGeneralFailure,
              u"Could not find file 'Other.mdb'.");
}

TEST_F(SqlCipherConnectionTest, RefusesWhatAnOpenConnectionCannotDo) {
  auto conn = ConnectAddressBook();
  const std::u16string open_text = u"Operation is not allowed when the object is open.";
  ExpectError([&] { conn->Open(PlainString(kInstall + u"Addr.mdb")); }, jet_error::kObjectOpen, open_text);
  ExpectError([&] { conn->SetProvider(u"Microsoft.Jet.OLEDB.4.0"); }, jet_error::kObjectOpen, open_text);
  EXPECT_EQ(conn->State(), adStateOpen);
}

TEST_F(SqlCipherConnectionTest, RefusesEveryUseOfAClosedConnection) {
  SqlCipherConnection never_opened(wine_);
  auto closed = ConnectAddressBook();
  closed->Close();
  SqlCipherConnection failed(wine_);
  failed.SetProvider(u"Microsoft.Jet.OLEDB.4.0");
  EXPECT_THROW(failed.Open(KeyedString(kInstall + u"Nothing.car")), RunTimeError);
  const std::function<void(Connection&)> uses[] = {
      [](Connection& c) { c.Execute(u"delete from [GroupList]"); },
      [](Connection& c) { c.Execute(u"select nothing"); },
      [](Connection& c) { c.Close(); },
      [](Connection& c) { c.BeginTrans(); },
      [](Connection& c) { c.CommitTrans(); },
      [](Connection& c) { c.RollbackTrans(); },
  };
  for (Connection* conn : {static_cast<Connection*>(&never_opened), static_cast<Connection*>(closed.get()),
                           static_cast<Connection*>(&failed)}) {
    for (const auto& use : uses) {
      ExpectError([&] { use(*conn); }, jet_error::kObjectClosed,
                  u"Operation is not allowed when the object is closed.");
    }
  }
}

TEST_F(SqlCipherConnectionTest, MovesTheAddressBookWithTheStatementsTheUpdateSends) {
  const std::string backup_bytes = testing::ReadFile(Backup("Addr.mdb"));
  auto conn = ConnectAddressBook();
  for (const std::u16string table : {u"GroupList", u"People", u"Pic"}) {
    conn->Execute(u"delete from [" + table + u"]");
    conn->Execute(AppendPlain(table, kBackup + u"\\Addr.mdb"));
  }
  conn->Close();
  for (const std::string table : {"GroupList", "People", "Pic"}) {
    EXPECT_EQ(Rows(Install("Addr.mdb"), "", table), Rows(Backup("Addr.mdb"), "", table)) << table;
  }
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People")[1][1], Text("O'Brien"));
  EXPECT_EQ(testing::ReadFile(Backup("Addr.mdb")), backup_bytes);
}

TEST_F(SqlCipherConnectionTest, MovesKeyedTablesIncludingOneCalledMain) {
  MakeCustomerDatabases();
  auto conn = ConnectCustomers();
  for (const std::u16string table : {u"main", u"UserTab"}) {
    conn->Execute(u"delete from " + table);
    conn->Execute(AppendKeyed(table, kBackup + u"\\Customerdata.car"));
  }
  conn->Close();
  EXPECT_EQ(Rows(Install("Customerdata.car"), kPassword, "main"),
            (std::vector<ShopRow>{{Text("10"), Text("京A12345"), Text("李四")},
                                  {Text("11"), Text("沪B2"), Text("Wu")}}));
  EXPECT_EQ(Rows(Install("Customerdata.car"), kPassword, "UserTab"), (std::vector<ShopRow>{{Text("admin"), Text("x")}}));
  // The installation's file is still keyed with the password, not plain.
  EXPECT_THROW(QueryShopDb(Install("Customerdata.car"), "", "SELECT * FROM main"), std::runtime_error);
}

// The counts the migration checks each table with, in the open file and
// in a keyed or plain backup, inside the table's transaction.
TEST_F(SqlCipherConnectionTest, CountsRowsOfTheOpenFileAndOfABackup) {
  MakeCustomerDatabases();
  auto conn = ConnectCustomers();
  const std::u16string backup = u"[;database=" + kBackup + u"\\Customerdata.car;pwd=" + Utf8ToUtf16(kPassword) + u"].";
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from [main]"), 1);
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from " + backup + u"[main]"), 2);
  conn->BeginTrans();
  conn->Execute(u"delete from main");
  conn->Execute(AppendKeyed(u"main", kBackup + u"\\Customerdata.car"));
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from [MAIN]"), 2);
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from " + backup + u"[UserTab]"), 1);
  conn->RollbackTrans();
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from [main]"), 1);
  conn->Close();
  auto address_book = ConnectAddressBook();
  EXPECT_EQ(address_book->ExecuteCount(u"select count(*) from [;database=" + kBackup + u"\\Addr.mdb;].[People]"), 2);
  EXPECT_EQ(address_book->ExecuteCount(u"select count(*) from [Pic]"), 0);
}

// Whatever the installed table does to the rows on the side, the count
// after an append is the rows it holds after the commit, and the backup's
// count the rows the backup holds: the two differ, and the check sees it.
TEST_F(SqlCipherConnectionTest, TheCountAfterAnAppendIsTheRowsTheTableHolds) {
  const std::string people = "DROP TABLE People; CREATE TABLE People (ID INTEGER PRIMARY KEY, ";
  const std::pair<const char*, std::string> cases[] = {
      {"a conflict clause drops rows", people + "Name TEXT NOT NULL ON CONFLICT IGNORE, GroupID, Phone);"},
      {"a REPLACE key drops rows", people + "Name, GroupID, Phone TEXT UNIQUE ON CONFLICT REPLACE);"},
      {"a trigger drops rows", "CREATE TRIGGER t BEFORE INSERT ON People WHEN NEW.ID % 2 = 0"
                               " BEGIN SELECT RAISE(IGNORE); END;"},
      {"a trigger removes rows", "CREATE TRIGGER t AFTER INSERT ON People WHEN NEW.ID % 3 = 0"
                                 " BEGIN DELETE FROM People WHERE ID = NEW.ID; END;"},
      {"a trigger keeps rows", "CREATE TRIGGER t BEFORE DELETE ON People BEGIN SELECT RAISE(IGNORE); END;"},
  };
  testing::ChangeShopDb(Backup("Addr.mdb"), "", "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1"
                        " FROM n WHERE i < 129) INSERT INTO People SELECT i, 'p' || nullif(i % 4, 0), 7, i % 5 FROM n;");
  const auto count = [](const fs::path& file) {
    return std::stoi(*QueryShopDb(file, "", "SELECT count(*) FROM People")[0][0]);
  };
  for (const auto& [what, installed_sql] : cases) {
    fs::remove(Install("Addr.mdb"));
    MakeShopDb(Install("Addr.mdb"), "",
               kAddressBook + installed_sql + "INSERT INTO People VALUES (1, 'pkg', 1, '0');");
    auto conn = ConnectAddressBook();
    conn->BeginTrans();
    conn->Execute(u"delete from [People]");
    conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
    const int32_t counted = conn->ExecuteCount(u"select count(*) from [People]");
    const int32_t backup = conn->ExecuteCount(u"select count(*) from [;database=" + kBackup + u"\\Addr.mdb;].[People]");
    conn->CommitTrans();
    EXPECT_EQ(counted, count(Install("Addr.mdb"))) << what;
    EXPECT_EQ(backup, count(Backup("Addr.mdb"))) << what;
    EXPECT_NE(counted, backup) << what;
    // A statement after the append has the table counted afresh.
    conn->BeginTrans();
    conn->Execute(AppendPlain(u"GroupList", kBackup + u"\\Addr.mdb"));
    conn->Execute(u"delete from [GroupList]");
    EXPECT_EQ(conn->ExecuteCount(u"select count(*) from [GroupList]"), 0) << what;
    conn->RollbackTrans();
  }
}

TEST_F(SqlCipherConnectionTest, ACountFailsAsJetDoes) {
  auto conn = ConnectAddressBook();
  ExpectError([&] { conn->ExecuteCount(u"select count(*) from [Nowhere]"); }, jet_error::kInputTableNotFound,
              NotFoundText(u"Nowhere"));
  ExpectError([&] { conn->ExecuteCount(u"select count(*) from [;database=" + kBackup + u"\\Addr.mdb;pwd=x].[Pic]"); },
              jet_error::kNotValidPassword, u"Not a valid password.");
  // A statement without records runs, and its recordset is closed.
  ExpectError([&] { conn->ExecuteCount(u"delete from [People]"); }, jet_error::kObjectClosed,
              u"Operation is not allowed when the object is closed.");
  EXPECT_EQ(conn->ExecuteCount(u"select count(*) from [People]"), 0);
  conn->Close();
  ExpectError([&] { conn->ExecuteCount(u"select count(*) from [People]"); }, jet_error::kObjectClosed,
              u"Operation is not allowed when the object is closed.");
}

TEST_F(SqlCipherConnectionTest, DeleteRemovesEveryRowInEitherForm) {
  for (const std::u16string statement : {u"delete from GroupList", u"delete from [grouplist]",
                                         u"DELETE FROM [GroupList];"}) {
    testing::ChangeShopDb(Install("Addr.mdb"), "", "INSERT OR REPLACE INTO GroupList VALUES (2, 'b'), (3, 'c');");
    auto conn = ConnectAddressBook();
    conn->Execute(statement);
    conn->Close();
    EXPECT_TRUE(Rows(Install("Addr.mdb"), "", "GroupList").empty()) << Utf16ToUtf8(statement);
    EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People").size(), 1u);
  }
}

TEST_F(SqlCipherConnectionTest, AppendsByFieldName) {
  // The new release's People has its fields in another order, another letter
  // case and one field more, with a default.
  fs::remove(Install("Addr.mdb"));
  MakeShopDb(Install("Addr.mdb"), "",
             "CREATE TABLE People (phone TEXT, Vip INTEGER DEFAULT 0, Note TEXT, NAME TEXT, groupid INTEGER,"
             " id INTEGER PRIMARY KEY);");
  auto conn = ConnectAddressBook();
  conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
  conn->Close();
  EXPECT_EQ(QueryShopDb(Install("Addr.mdb"), "", "SELECT id, NAME, groupid, phone, Vip, Note FROM People ORDER BY id"),
            (std::vector<ShopRow>{{Text("3"), Text("张三"), Text("7"), Text("13800000000"), Text("0"), std::nullopt},
                                  {Text("4"), Text("O'Brien"), Text("8"), std::nullopt, Text("0"), std::nullopt}}));
}

// Tables with the same fields move by position only where the positions
// agree: the same names in another order still pair by name.
TEST_F(SqlCipherConnectionTest, SameFieldsInAnotherOrderStillPairByName) {
  for (const char* table : {
           "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT, GroupID INTEGER, Phone TEXT);",
           "CREATE TABLE People (id INTEGER PRIMARY KEY, NAME TEXT, groupid INTEGER, phone TEXT);",
           "CREATE TABLE People (Phone TEXT, GroupID INTEGER, Name TEXT, ID INTEGER PRIMARY KEY);",
           "CREATE TABLE People (ID INTEGER PRIMARY KEY, GroupID INTEGER, Name TEXT, Phone TEXT);"}) {
    fs::remove(Install("Addr.mdb"));
    MakeShopDb(Install("Addr.mdb"), "", table);
    auto conn = ConnectAddressBook();
    conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
    conn->Close();
    EXPECT_EQ(QueryShopDb(Install("Addr.mdb"), "", "SELECT ID, Name, GroupID, Phone FROM People ORDER BY ID"),
              (std::vector<ShopRow>{{Text("3"), Text("张三"), Text("7"), Text("13800000000")},
                                    {Text("4"), Text("O'Brien"), Text("8"), std::nullopt}}))
        << table;
  }
}

TEST_F(SqlCipherConnectionTest, AFieldTheTargetLacksIsAnError) {
  fs::remove(Install("Addr.mdb"));
  MakeShopDb(Install("Addr.mdb"), "", "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT, GroupID INTEGER);");
  auto conn = ConnectAddressBook();
  ExpectError([&] { conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb")); },
              jet_error::kErrorsInCommand,
              u"The INSERT INTO statement contains the following unknown field name: 'Phone'. Make sure "
              u"you have typed the name correctly, and try the operation again.");
  conn->Close();
  EXPECT_TRUE(Rows(Install("Addr.mdb"), "", "People").empty());
}

TEST_F(SqlCipherConnectionTest, MissingTablesAreNamed) {
  // The engine's own tables are not the database's tables.
  testing::ChangeShopDb(Install("Addr.mdb"), "",
                        "CREATE TABLE Log (ID INTEGER PRIMARY KEY AUTOINCREMENT, Note TEXT);"
                        "INSERT INTO Log (Note) VALUES ('x');");
  const std::u16string backup = kBackup + u"\\Addr.mdb";
  struct Case {
    std::u16string statement;
    std::u16string missing;
  };
  const Case cases[] = {
      {u"delete from Nope", u"Nope"},
      {u"delete from [No Table]", u"No Table"},
      {u"delete from [sqlite_sequence]", u"sqlite_sequence"},
      {u"delete from sqlite_master", u"sqlite_master"},
      {u"Insert into [Nope] Select * From [;database=" + backup + u";].People", u"Nope"},
      {u"Insert into [People] Select * From [;database=" + backup + u";].Nope", u"Nope"},
      {u"Insert into [People] Select * From [;database=" + backup + u";].sqlite_master", u"sqlite_master"},
  };
  auto conn = ConnectAddressBook();
  for (const Case& c : cases) {
    ExpectError([&] { conn->Execute(c.statement); }, jet_error::kInputTableNotFound, NotFoundText(c.missing));
  }
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People").size(), 1u);
  EXPECT_EQ(QueryShopDb(Install("Addr.mdb"), "", "SELECT seq FROM sqlite_sequence"), std::vector<ShopRow>{{Text("1")}});
}

TEST_F(SqlCipherConnectionTest, ExternalFileFailsAsOpenDoes) {
  MakeCustomerDatabases();
  testing::WriteFile(Backup("notes.txt"), "not a database");
  const auto From = [](const std::u16string& clause) {
    return u"Insert into [People] Select * From [;database=" + clause + u"].People";
  };
  const std::u16string not_valid = u"Not a valid password.";
  struct Case {
    std::u16string statement;
    int32_t number;
    std::u16string description;
  };
  const Case cases[] = {
      {AppendPlain(u"People", kBackup + u"\\Nothing.mdb"), jet_error::kGeneralFailure,
       u"Could not find file '" + kBackup + u"\\Nothing.mdb'."},
      {AppendKeyed(u"People", kBackup + u"\\Addr.mdb"), jet_error::kNotValidPassword, not_valid},
      {From(kBackup + u"\\Customerdata.car;"), jet_error::kNotValidPassword, not_valid},
      {From(kBackup + u"\\Customerdata.car;pwd=wrong"), jet_error::kNotValidPassword, not_valid},
      {From(kBackup + u"\\notes.txt;"), jet_error::kGeneralFailure,
       u"Unrecognized database format '" + kBackup + u"\\notes.txt'."},
  };
  auto conn = ConnectAddressBook();
  // More failures than SQLite holds attached files at once (ten): a failed
  // file that stayed attached would keep the good backup out at the end.
  for (int round = 0; round < 3; ++round) {
    for (const Case& c : cases) {
      ExpectError([&] { conn->Execute(c.statement); }, c.number, c.description);
    }
  }
  conn->Execute(u"delete from [People]");
  conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People"), Rows(Backup("Addr.mdb"), "", "People"));
  EXPECT_FALSE(fs::exists(Backup("Nothing.mdb")));
}

TEST_F(SqlCipherConnectionTest, CopiesBlobsAndChineseTextByteForByte) {
  std::string every_byte = "X'";
  for (int byte = 0; byte < 256; ++byte) {
    every_byte += "0123456789ABCDEF"[byte >> 4];
    every_byte += "0123456789ABCDEF"[byte & 0xf];
  }
  testing::ChangeShopDb(Backup("Addr.mdb"), "",
                        "INSERT INTO Pic VALUES (6, 4, " + every_byte + "'), (7, 4, zeroblob(70000));"
                        "INSERT INTO People VALUES (9, '欧阳𠮷 \t''\"\\', 7, '');");
  auto conn = ConnectAddressBook();
  for (const std::u16string table : {u"People", u"Pic"}) {
    conn->Execute(u"delete from [" + table + u"]");
    conn->Execute(AppendPlain(table, kBackup + u"\\Addr.mdb"));
  }
  conn->Close();
  const std::string query = "SELECT *, typeof(Photo), length(Photo) FROM Pic ORDER BY ID";
  const auto copied = QueryShopDb(Install("Addr.mdb"), "", query);
  EXPECT_EQ(copied, QueryShopDb(Backup("Addr.mdb"), "", query));
  ASSERT_EQ(copied.size(), 3u);
  EXPECT_EQ(copied[1][2]->size(), 256u);
  EXPECT_EQ(copied[1][3], Text("blob"));
  const std::string people = "SELECT Name, typeof(Name), hex(Name) FROM People WHERE ID = 9";
  EXPECT_EQ(QueryShopDb(Install("Addr.mdb"), "", people),
            (std::vector<ShopRow>{{Text("欧阳𠮷 \t'\"\\"), Text("text"),
                                   QueryShopDb(Backup("Addr.mdb"), "", people)[0][2]}}));
}

TEST_F(SqlCipherConnectionTest, RollbackRestoresTheRows) {
  const auto before = Rows(Install("Addr.mdb"), "", "People");
  auto conn = ConnectAddressBook();
  conn->BeginTrans();
  conn->Execute(u"delete from [People]");
  conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
  conn->RollbackTrans();
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People"), before);
}

TEST_F(SqlCipherConnectionTest, CommitKeepsTheRows) {
  MakeCustomerDatabases();
  auto conn = ConnectCustomers();
  conn->BeginTrans();
  conn->Execute(u"delete from main");
  conn->Execute(AppendKeyed(u"main", kBackup + u"\\Customerdata.car"));
  conn->CommitTrans();
  conn->Close();
  EXPECT_EQ(Rows(Install("Customerdata.car"), kPassword, "main"),
            Rows(Backup("Customerdata.car"), kPassword, "main"));
}

TEST_F(SqlCipherConnectionTest, CloseWithATransactionOpenUndoesIt) {
  const auto before = Rows(Install("Addr.mdb"), "", "GroupList");
  auto conn = ConnectAddressBook();
  conn->BeginTrans();
  conn->Execute(u"delete from [GroupList]");
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "GroupList"), before);
  conn->Open(PlainString(kInstall + u"Addr.mdb"));
  ExpectError([&] { conn->CommitTrans(); }, jet_error::kNoTransaction, u"No transaction is active.");
}

TEST_F(SqlCipherConnectionTest, TransactionCallsOutOfOrderAreRefused) {
  auto conn = ConnectAddressBook();
  ExpectError([&] { conn->CommitTrans(); }, jet_error::kNoTransaction, u"No transaction is active.");
  ExpectError([&] { conn->RollbackTrans(); }, jet_error::kNoTransaction, u"No transaction is active.");
  conn->BeginTrans();
  ExpectError([&] { conn->BeginTrans(); }, jet_error::kTransactionExists,
              u"Only one transaction can be active on this session.");
  conn->CommitTrans();
  ExpectError([&] { conn->CommitTrans(); }, jet_error::kNoTransaction, u"No transaction is active.");
}

TEST_F(SqlCipherConnectionTest, AttachesEachBackupFileOnce) {
  MakeShopDb(prefix_.OnDriveC("Program Files/Brevak/20261209050000/Addr.mdb"), "", kAddressBook);
  auto conn = ConnectAddressBook();
  const std::u16string same_file_spellings[] = {
      kBackup + u"\\Addr.mdb", kBackup + u"\\Addr.mdb", u"c:\\program files\\brevak\\20261209045000\\ADDR.mdb",
      u"C:/Program Files//Brevak/./20261209045000/Addr.mdb"};
  // Three rounds of the spellings: more appends than SQLite holds attached
  // files at once (ten), which only one attachment per file stays within.
  for (int round = 0; round < 3; ++round) {
    for (const std::u16string& file : same_file_spellings) {
      conn->Execute(u"delete from [People]");
      conn->Execute(AppendPlain(u"People", file));
    }
  }
  conn->Execute(u"delete from [GroupList]");
  conn->Execute(AppendPlain(u"GroupList", u"C:\\Program Files\\Brevak\\20261209050000\\Addr.mdb"));
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People"), Rows(Backup("Addr.mdb"), "", "People"));
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "GroupList"),
            Rows(prefix_.OnDriveC("Program Files/Brevak/20261209050000/Addr.mdb"), "", "GroupList"));
  // A connection opened again attaches afresh: nothing of the closed one's
  // attachments is taken for still there.
  conn->Open(PlainString(kInstall + u"Addr.mdb"));
  conn->Execute(u"delete from [People]");
  conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People"), Rows(Backup("Addr.mdb"), "", "People"));
}

// The first append from a file inside a transaction has to attach the file,
// which SQLite allows only outside one; the transaction must still be whole.
TEST_F(SqlCipherConnectionTest, AttachingInsideATransactionKeepsItWhole) {
  MakeShopDb(prefix_.OnDriveC("Program Files/Brevak/20261209050000/Addr.mdb"), "", std::string(kAddressBook) +
             "INSERT INTO GroupList VALUES (20, 'second backup');");
  const std::u16string second = u"C:\\Program Files\\Brevak\\20261209050000\\Addr.mdb";
  const auto before_people = Rows(Install("Addr.mdb"), "", "People");
  const auto before_groups = Rows(Install("Addr.mdb"), "", "GroupList");
  for (const bool commit : {false, true}) {
    auto conn = ConnectAddressBook();
    conn->BeginTrans();
    conn->Execute(u"delete from [People]");
    conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
    conn->Execute(u"delete from [GroupList]");
    conn->Execute(AppendPlain(u"GroupList", second));
    if (commit) {
      conn->CommitTrans();
    } else {
      conn->RollbackTrans();
    }
    conn->Close();
    EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People"),
              commit ? Rows(Backup("Addr.mdb"), "", "People") : before_people);
    EXPECT_EQ(Rows(Install("Addr.mdb"), "", "GroupList"),
              commit ? (std::vector<ShopRow>{{Text("20"), Text("second backup")}}) : before_groups);
  }
}

// A failed attach inside a transaction leaves the transaction as it was:
// its delete is still part of it, undone by a rollback, kept by a commit.
TEST_F(SqlCipherConnectionTest, AFailedAttachInsideATransactionLeavesItOpen) {
  for (const bool commit : {false, true}) {
    testing::ChangeShopDb(Install("Addr.mdb"), "", "INSERT OR REPLACE INTO People VALUES (1, 'package person', 1, '000');");
    auto conn = ConnectAddressBook();
    conn->BeginTrans();
    conn->Execute(u"delete from [People]");
    EXPECT_THROW(conn->Execute(AppendKeyed(u"People", kBackup + u"\\Addr.mdb")), RunTimeError);
    if (commit) {
      conn->CommitTrans();
    } else {
      conn->RollbackTrans();
    }
    conn->Close();
    EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People").size(), commit ? 0u : 1u) << commit;
  }
}

// An attached file is keyed by its own password, or plain without one,
// whatever the key of the open file.
TEST_F(SqlCipherConnectionTest, AppendsFromPlainAndKeyedFilesIntoEitherKind) {
  const std::string schema = "CREATE TABLE Shared (ID INTEGER PRIMARY KEY, Name TEXT);";
  MakeShopDb(Install("plain.mdb"), "", schema);
  MakeShopDb(Install("keyed.mdb"), kPassword, schema);
  MakeShopDb(Backup("plain.mdb"), "", schema + "INSERT INTO Shared VALUES (1, '明');");
  MakeShopDb(Backup("keyed.mdb"), kPassword, schema + "INSERT INTO Shared VALUES (2, '暗');");
  struct Case {
    std::u16string target;
    std::string target_password;
    std::u16string source_clause;
    ShopRow expected;
  };
  const Case cases[] = {
      {u"plain.mdb", "", u"plain.mdb;", {Text("1"), Text("明")}},
      {u"plain.mdb", "", u"keyed.mdb;pwd=mqzvtw", {Text("2"), Text("暗")}},
      {u"keyed.mdb", kPassword, u"plain.mdb;", {Text("1"), Text("明")}},
      {u"keyed.mdb", kPassword, u"keyed.mdb;pwd=mqzvtw", {Text("2"), Text("暗")}},
  };
  for (const Case& c : cases) {
    auto conn = Connect(u"Data Source =" + kInstall + c.target + u";Jet OLEDB:Database Password=" +
                        Utf8ToUtf16(c.target_password));
    conn->Execute(u"delete from Shared");
    conn->Execute(u"Insert into [Shared] Select * From [;database=" + kBackup + u"\\" + c.source_clause + u"].Shared");
    conn->Close();
    EXPECT_EQ(Rows(Install(posix::Utf16ToUtf8(c.target)), c.target_password, "Shared"), std::vector<ShopRow>{c.expected})
        << Utf16ToUtf8(c.target + u" <- " + c.source_clause);
  }
}

TEST_F(SqlCipherConnectionTest, RefusesUnsupportedStatementsAndChangesNothing) {
  auto conn = ConnectAddressBook();
  for (const std::u16string statement : {u"DROP TABLE People", u"delete from People where ID = 1",
                                         u"delete from People; drop table Pic",
                                         u"update People set Name = 'x'",
                                         u"Insert into [People] Select * From People"}) {
    try {
      conn->Execute(statement);
      ADD_FAILURE() << "ran " << Utf16ToUtf8(statement);
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), jet_error::kErrorsInCommand);
      EXPECT_NE(error.description().find(u"delete from [TABLE]"), std::u16string::npos);
    }
  }
  conn->Close();
  EXPECT_EQ(Rows(Install("Addr.mdb"), "", "People").size(), 1u);
  EXPECT_EQ(QueryShopDb(Install("Addr.mdb"), "", "SELECT count(*) FROM sqlite_master")[0][0], Text("3"));
}

TEST_F(SqlCipherConnectionTest, EngineFailuresBecomeRunTimeErrors) {
  // A constraint of the new table that the backup's rows break.
  fs::remove(Install("Addr.mdb"));
  MakeShopDb(Install("Addr.mdb"), "", "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT,"
             " GroupID INTEGER, Phone TEXT NOT NULL);");
  auto conn = ConnectAddressBook();
  try {
    conn->Execute(AppendPlain(u"People", kBackup + u"\\Addr.mdb"));
    ADD_FAILURE() << "a NULL went into a NOT NULL field";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), jet_error::kGeneralFailure);
    EXPECT_NE(error.description().find(u"NOT NULL constraint failed: People.Phone"), std::u16string::npos)
        << Utf16ToUtf8(error.description());
  }
  conn->Close();
  EXPECT_TRUE(Rows(Install("Addr.mdb"), "", "People").empty());
}

}  // namespace
}  // namespace brevak::posix
