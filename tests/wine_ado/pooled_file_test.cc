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
  EXPECT_FALSE(HeldFileOf("Jet OLEDB:Database Password=;Mode=Read").has_value());
}

}  // namespace
}  // namespace brevak::wine_ado
