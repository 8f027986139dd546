#include "platform/posix/text/iconv_code_page.h"

#include <gtest/gtest.h>

namespace brevak::posix {
namespace {
using namespace std::string_literals;

TEST(IconvCodePageTest, RoundTripsChineseTextAndNuls) {
  IconvCodePage code_page;
  struct Case { std::u16string text; std::string gbk; };
  const Case cases[] = {
      {u"(预设值)=", "(\xD4\xA4\xC9\xE8\xD6\xB5)="s},
      {u"a\0b\0\0"s, "a\0b\0\0"s},
      {u"升级完成", "\xC9\xFD\xBC\xB6\xCD\xEA\xB3\xC9"s},
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(code_page.ToAnsi(c.text), c.gbk);
    EXPECT_EQ(code_page.FromAnsi(c.gbk), c.text);
  }
}

TEST(IconvCodePageTest, ReplacesWhatCannotBeConverted) {
  IconvCodePage code_page;
  EXPECT_EQ(code_page.ToAnsi(u"a\U0001F600b"), "a??b");       // two UTF-16 units, no GBK form
  EXPECT_EQ(code_page.FromAnsi("a\xFFz"), u"a\uFFFDz");         // 0xFF is no GBK lead byte
  EXPECT_EQ(code_page.FromAnsi("x\xC9"), u"x\uFFFD");           // truncated double-byte character
}

}  // namespace
}  // namespace brevak::posix
