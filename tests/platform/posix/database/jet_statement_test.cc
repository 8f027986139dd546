#include "platform/posix/database/jet_statement.h"

#include <gtest/gtest.h>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

TEST(JetStatementTest, ReadsDeleteStatements) {
  struct Case {
    std::u16string text;
    std::u16string table;
  };
  const Case cases[] = {
      {u"delete from [GroupList]", u"GroupList"},
      {u"delete from main", u"main"},
      {u"DELETE   FROM\t[Repair Sheet] ;", u"Repair Sheet"},
      {u"  Delete From 客户表  ", u"客户表"},
      {u"delete from[People]", u"People"},
  };
  for (const Case& c : cases) {
    const JetStatement parsed = ParseJetStatement(c.text);
    ASSERT_TRUE(std::holds_alternative<JetDeleteAll>(parsed)) << Utf16ToUtf8(c.text);
    EXPECT_EQ(std::get<JetDeleteAll>(parsed).table, c.table) << Utf16ToUtf8(c.text);
  }
}

TEST(JetStatementTest, ReadsAppendsFromAnotherFile) {
  struct Case {
    std::u16string text;
    JetAppendFromFile expected;
  };
  const Case cases[] = {
      {u"Insert into [GroupList] Select * From [;database=C:\\Brevak\\20121225051422\\Addr.mdb;].GroupList",
       {u"GroupList", u"C:\\Brevak\\20121225051422\\Addr.mdb", u"", u"GroupList"}},
      {u"Insert into [main] Select * From [;database=C:\\Brevak\\1\\Customerdata.car;pwd=mqzvtw].main",
       {u"main", u"C:\\Brevak\\1\\Customerdata.car", u"mqzvtw", u"main"}},
      {u"INSERT INTO People SELECT * FROM [;DATABASE=D:\\b.mdb;PWD=x].[People]",
       {u"People", u"D:\\b.mdb", u"x", u"People"}},
      {u"insert  into [Pic]\tselect *  from [ ; Database = C:\\My Files\\a.mdb ; ] . Pic ;",
       {u"Pic", u"C:\\My Files\\a.mdb", u"", u"Pic"}},
      {u"Insert into [A] Select * From [;database=Addr.mdb].B", {u"A", u"Addr.mdb", u"", u"B"}},
  };
  for (const Case& c : cases) {
    const JetStatement parsed = ParseJetStatement(c.text);
    ASSERT_TRUE(std::holds_alternative<JetAppendFromFile>(parsed)) << Utf16ToUtf8(c.text);
    const auto& append = std::get<JetAppendFromFile>(parsed);
    EXPECT_EQ(append.target, c.expected.target) << Utf16ToUtf8(c.text);
    EXPECT_EQ(append.database, c.expected.database) << Utf16ToUtf8(c.text);
    EXPECT_EQ(append.password, c.expected.password) << Utf16ToUtf8(c.text);
    EXPECT_EQ(append.source, c.expected.source) << Utf16ToUtf8(c.text);
  }
}

TEST(JetStatementTest, ReadsCountsOfTheOpenOrAnotherFile) {
  struct Case {
    std::u16string text;
    JetCountRows expected;
  };
  const Case cases[] = {
      {u"select count(*) from [Cash_In]", {u"Cash_In", u"", u""}},
      {u"SELECT COUNT ( * ) FROM main ;", {u"main", u"", u""}},
      {u"select count(*) from [;database=C:\\B\\1\\Customerdata.car;pwd=mqzvtw].[main]",
       {u"main", u"C:\\B\\1\\Customerdata.car", u"mqzvtw"}},
      {u"select count(*) from [ ;database=C:\\备份 1\\Addr.mdb;].[Pic]", {u"Pic", u"C:\\备份 1\\Addr.mdb", u""}},
  };
  for (const Case& c : cases) {
    const JetStatement parsed = ParseJetStatement(c.text);
    ASSERT_TRUE(std::holds_alternative<JetCountRows>(parsed)) << Utf16ToUtf8(c.text);
    const auto& count = std::get<JetCountRows>(parsed);
    EXPECT_EQ(count.table, c.expected.table) << Utf16ToUtf8(c.text);
    EXPECT_EQ(count.database, c.expected.database) << Utf16ToUtf8(c.text);
    EXPECT_EQ(count.password, c.expected.password) << Utf16ToUtf8(c.text);
  }
}

TEST(JetStatementTest, RefusesEveryOtherStatement) {
  const std::u16string cases[] = {
      u"",
      u"select * from People",
      u"delete from People where ID = 1",
      u"delete * from People",
      u"deleted from People",
      u"delete from []",
      u"delete from [People",
      u"delete from People; delete from Pic",
      u"drop table People",
      u"Insert into [People] Select * From People",
      u"Insert into [People] Select ID From [;database=C:\\a.mdb;].People",
      u"Insert into [People] Select * From [Excel 8.0;database=C:\\a.xls;].People",
      u"Insert into [People] Select * From [;pwd=x;].People",
      u"Insert into [People] Select * From [;database=C:\\a.mdb;uid=x].People",
      u"Insert into [People] Select * From [;database=C:\\a.mdb;]People",
      u"Insert into [People] (ID) Select * From [;database=C:\\a.mdb;].People",
      u"select count(ID) from [People]",
      u"select count(*) from [People] where ID = 1",
      u"select count(*) from [;database=C:\\a.mdb;][People]",
      u"select count(*) from [;pwd=x;].[People]",
      u"select count(*), count(*) from [People]",
  };
  for (const std::u16string& text : cases) {
    try {
      ParseJetStatement(text);
      ADD_FAILURE() << "accepted " << Utf16ToUtf8(text);
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), jet_error::kErrorsInCommand) << Utf16ToUtf8(text);
      EXPECT_EQ(error.description().rfind(u"This connection cannot run the statement '" + text + u"'.", 0), 0u)
          << Utf16ToUtf8(error.description());
    }
  }
}

}  // namespace
}  // namespace brevak::posix
