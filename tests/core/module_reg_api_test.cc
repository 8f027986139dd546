// The registry listing read from a real system.reg in a temporary prefix.
#include "core/module_reg_api.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/registry/posix_registry.h"
#include "support/temp_prefix.h"

namespace brevak {
namespace {

const char kKey[] = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe";

class ListRegValuesTest : public ::testing::Test {
 protected:
  std::optional<std::u16string> List(const std::string& system_reg) {
    prefix_.WriteSystemReg(system_reg);
    posix::WinePrefix wine(prefix_.root());
    posix::PosixRegistry registry(wine, code_page_, diagnostics_);
    Platform platform;
    platform.registry = &registry;
    platform.code_page = &code_page_;
    return ListRegValues(platform);
  }
  std::optional<std::u16string> ListKey(const std::string& value_lines) {
    return List(testing::TempPrefix::SystemRegWithKey(kKey, value_lines));
  }

  testing::TempPrefix prefix_;
  posix::IconvCodePage code_page_;
  std::ostringstream diagnostics_;
};

TEST_F(ListRegValuesTest, ListsEveryValueTypeAsItsLines) {
  setenv("SystemRoot", "C:\\windows", 1);
  struct Case { std::string values; std::u16string listing; };
  const Case cases[] = {
      {"@=\"C:\\\\Program Files\\\\Brevak\\\\Brevak.exe\"",
       u"(预设值)=C:\\Program Files\\Brevak\\Brevak.exe\r\n"},
      {"\"Path\"=\"C:\\\\Program Files\\\\Brevak\\\\\"", u"Path=C:\\Program Files\\Brevak\\\r\n"},
      {"@=\"D:\\\\Brevak\\\\Brevak.exe\"\n\"Path\"=\"D:\\\\Brevak\\\\\"",
       u"(预设值)=D:\\Brevak\\Brevak.exe\r\nPath=D:\\Brevak\\\r\n"},
      {"\"Path\"=\"D:\\\\Brevak\\\\\"\n@=\"D:\\\\Brevak\\\\Brevak.exe\"",
       u"Path=D:\\Brevak\\\r\n(预设值)=D:\\Brevak\\Brevak.exe\r\n"},
      // An unnamed expandable text has no label.
      {"@=str(2):\"%SystemRoot%\\\\x\"", u" = C:\\windows\\x\r\n"},
      {"\"e\"=str(2):\"%NoSuchVariable%\"", u"e = %NoSuchVariable%\r\n"},
      {"\"n\"=dword:ffffffff", u"n = -1\r\n"},
      // Big-endian DWORDs are read as stored, little-endian.
      {"\"b\"=hex(5):00,00,00,01", u"b = 16777216\r\n"},
      {"\"v\"=hex:00,0a,ff", u"v = 0 A FF \r\n"},
      {"\"m\"=str(7):\"a\\0b\\0\"", u"m(0) = a\r\nm(1) = b\r\n"},
      // Each NUL past the closing pair adds an empty item.
      {"\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00,00,00,00,00",
       u"m(0) = a\r\nm(1) = b\r\nm(2) = \r\nm(3) = \r\n"},
      {"\"m\"=hex(7):00,00,00,00", u"m(0) = \r\n"},
      {"\"名称\"=\"数据\"", u"名称=数据\r\n"},
      // Links, REG_NONE and QWORDs give no line; later values still do.
      {"\"l\"=hex(6):43,00\n\"z\"=hex(0):01\n\"q\"=hex(b):01,00,00,00,00,00,00,00\n\"a\"=\"1\"",
       u"a=1\r\n"},
      {"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListKey(c.values), c.listing) << c.values;
  }
  EXPECT_EQ(diagnostics_.str(), "");
}

TEST_F(ListRegValuesTest, ValuesARegistryCanHoldNeverEndTheListing) {
  struct Case { std::string values; std::u16string listing; };
  const Case cases[] = {
      {"\"s\"=hex(1):\n\"a\"=\"1\"", u"s=\r\na=1\r\n"},                // text without NUL
      {"\"s\"=hex(1):41,00,42,00\n\"a\"=\"1\"", u"s=AB\r\na=1\r\n"},  // taken whole
      {"\"v\"=hex:\n\"a\"=\"1\"", u"v = \r\na=1\r\n"},                // zero-byte binary
      {"\"m\"=hex(7):\n\"a\"=\"1\"", u"a=1\r\n"},                     // zero-byte multi-string
      {"\"e\"=hex(2):\n\"a\"=\"1\"", u"e = \r\na=1\r\n"},             // zero-byte expandable
  };
  for (const Case& c : cases) EXPECT_EQ(ListKey(c.values), c.listing) << c.values;
}

TEST_F(ListRegValuesTest, ANameTooLongForTheBufferEndsTheListing) {
  const std::string long_name(256, 'n');
  const std::string values = "\"a\"=\"1\"\n\"b\"=\"2\"\n\"c\"=\"3\"\n\"" + long_name +
                             "\"=\"4\"\n\"d\"=\"5\"";
  EXPECT_EQ(ListKey(values), u"a=1\r\nb=2\r\nc=3\r\n");
  // 127 Chinese characters are 254 GBK bytes: they fit.
  std::string chinese;
  for (int i = 0; i < 127; ++i) chinese += "名";
  EXPECT_EQ(ListKey("\"" + chinese + "\"=\"x\""), code_page_.FromAnsi(code_page_.ToAnsi(
                                                      std::u16string(127, u'名'))) + u"=x\r\n");
}

TEST_F(ListRegValuesTest, NoKeyIsNoListingAndAnEmptyKeyIsAnEmptyOne) {
  EXPECT_EQ(ListKey(""), u"");
  EXPECT_EQ(List(testing::TempPrefix::SystemRegWithKey("Software\\\\Other", "@=\"x\"")),
            std::nullopt);
  EXPECT_EQ(List(""), std::nullopt);  // not a registry file at all
}

}  // namespace
}  // namespace brevak
