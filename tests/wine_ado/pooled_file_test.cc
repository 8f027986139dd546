#include "wine_ado/pooled_file.h"

#include <gtest/gtest.h>

#include <string>

#include "core/jet_database.h"
#include "platform/posix/text/utf.h"
#include "platform/win32/ado_pooling.h"

namespace brevak::wine_ado {
namespace {

using posix::Utf16ToUtf8;

// The tool's own connection strings, as the core makes them and as the ADO
// adapter opens them: the harness holds each file as Jet does, and after
// Close only where pooling was left on.
TEST(PooledFileTest, TheAdaptersConnectionsAreNotPooledTheCoresStringsAre) {
  struct Case { std::u16string core; const char* file; bool read_only; };
  const Case cases[] = {
      {ConnectionString(u"C:\\Program Files\\Brevak\\Addr.mdb", u""), "C:\\Program Files\\Brevak\\Addr.mdb", false},
      {ConnectionString(u"C:\\汽修\\Customerdata.car", kCustomerPassword) + u";Jet OLEDB:Max Locks Per File=1000000",
       "C:\\汽修\\Customerdata.car", false},
      {ConnectionString(u"D:\\升级包\\Addr.mdb", u"") + u";Mode=Read", "D:\\升级包\\Addr.mdb", true},
  };
  for (const Case& c : cases) {
    for (const bool adapter : {false, true}) {
      const std::u16string opened = adapter ? win32::WithoutResourcePooling(c.core) : c.core;
      const std::optional<HeldFile> held = HeldFileOf(Utf16ToUtf8(opened));
      ASSERT_TRUE(held.has_value()) << Utf16ToUtf8(opened);
      EXPECT_EQ(held->data_source, c.file);
      EXPECT_EQ(held->read_only, c.read_only) << c.file;
      EXPECT_EQ(held->pooled, !adapter) << Utf16ToUtf8(opened);
    }
  }
}

// Only the lowest bit of the services value turns pooling off; a value ADO
// cannot read leaves it on, and so does a string ending in ';'.
TEST(PooledFileTest, PoolingFollowsTheServicesValuesLowestBit) {
  struct Case { const char* connection_string; bool pooled; };
  const Case cases[] = {
      {"Data Source=a.mdb", true},                     {"Data Source=a.mdb;OLE DB Services=-1", true},
      {"Data Source=a.mdb;OLE DB Services=-2", false}, {"Data Source=a.mdb;ole db services = -4 ;", false},
      {"Data Source=a.mdb;OLE DB Services=0", false},  {"Data Source=a.mdb;OLE DB Services=7", true},
      {"Data Source=a.mdb;OLE DB Services=x", true},   {"OLE DB Services=-2;Data Source=a.mdb;", false},
  };
  for (const Case& c : cases) {
    const std::optional<HeldFile> held = HeldFileOf(c.connection_string);
    ASSERT_TRUE(held.has_value()) << c.connection_string;
    EXPECT_EQ(held->data_source, "a.mdb");
    EXPECT_EQ(held->pooled, c.pooled) << c.connection_string;
  }
  EXPECT_EQ(win32::WithoutResourcePooling(u"Data Source=a.mdb;"), u"Data Source=a.mdb;OLE DB Services=-2");
  EXPECT_FALSE(HeldFileOf("Jet OLEDB:Database Password=;Mode=Read").has_value());
  EXPECT_FALSE(HeldFileOf("").has_value());
}

}  // namespace
}  // namespace brevak::wine_ado
