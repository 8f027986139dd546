#include "platform/posix/database/jet_connection_string.h"

#include <gtest/gtest.h>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace {

TEST(JetConnectionStringTest, TakesProviderDataSourceAndPassword) {
  struct Case {
    std::u16string text;
    std::u16string provider, data_source, password;
  };
  const Case cases[] = {
      {u"Data Source =C:\\Program Files\\Brevak\\Addr.mdb;Jet OLEDB:Database Password=", u"",
       u"C:\\Program Files\\Brevak\\Addr.mdb", u""},
      {u"Data Source =C:\\Brevak\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw", u"",
       u"C:\\Brevak\\Customerdata.car", u"mqzvtw"},
      {u"  data source  =  Addr.mdb ;JET OLEDB:DATABASE PASSWORD = p w ;", u"", u"Addr.mdb", u"p w"},
      {u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\备份\\a.mdb", u"Microsoft.Jet.OLEDB.4.0",
       u"D:\\备份\\a.mdb", u""},
      {u"Data Source=\"C:\\a;b.mdb\";Jet OLEDB:Database Password='it''s '", u"", u"C:\\a;b.mdb",
       u"it's "},
      {u"Data Source=first.mdb;User ID=Admin;Data Source=second.mdb;;", u"", u"second.mdb", u""},
      {u"Data Source =C:\\B\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw;Jet OLEDB:Max Locks Per File=1000000",
       u"", u"C:\\B\\Customerdata.car", u"mqzvtw"},
      {u"", u"", u"", u""},
  };
  for (const Case& c : cases) {
    const JetConnectionString parsed = ParseJetConnectionString(c.text);
    EXPECT_EQ(parsed.provider, c.provider) << Utf16ToUtf8(c.text);
    EXPECT_EQ(parsed.data_source, c.data_source) << Utf16ToUtf8(c.text);
    EXPECT_EQ(parsed.password, c.password) << Utf16ToUtf8(c.text);
  }
}

TEST(JetConnectionStringTest, RefusesTextThatIsNotKeyValuePairs) {
  const std::u16string cases[] = {
      u"C:\\Brevak\\Addr.mdb",
      u"Data Source=Addr.mdb;Password",
      u"=Addr.mdb",
      u"Data Source=\"Addr.mdb",
      u"Data Source=\"Addr.mdb\" x;",
  };
  for (const std::u16string& text : cases) {
    try {
      ParseJetConnectionString(text);
      ADD_FAILURE() << "accepted " << Utf16ToUtf8(text);
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), jet_error::kBadConnectionString) << Utf16ToUtf8(text);
    }
  }
}

}  // namespace
}  // namespace brevak::posix
