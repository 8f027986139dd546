#include "platform/file_pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/text/utf.h"

namespace brevak {
namespace {

TEST(FilePatternTest, MatchesAsTheShellDoes) {
  struct Case { std::u16string pattern; std::u16string name; bool match; };
  const Case cases[] = {
      {u"*.car", u"Customerdata.car", true},
      {u"*.car", u"CUSTOMERDATA.CAR", true},
      {u"*.CAR", u"customerdata.car", true},
      {u"*.car", u"Customerdata.carx", false},
      {u"*.car", u"car", false},
      {u"*.mdb", u"Addr.mdb-journal", false},
      {u"Brevak.*", u"Brevak.exe", true},
      {u"brevak.*", u"BREVAK.INI", true},
      {u"Brevak.*", u"Brevak", true},  // "X.*" also names X without an extension
      {u"Brevak.*", u"BrevakOld.exe", false},
      {u"Brevak.*", u"Brevak.exe-journal", true},
      {u"*.*", u"README", true},
      {u"*.*", u"a.b.c", true},
      {u"*", u"", true},
      {u"adb*.*", u"adbhelper.dll", true},
      {u"adb*.*", u"ADB.dll", true},
      {u"adb*.*", u"xadb.dll", false},
      {u"vkUserControlsXP.*", u"VKUSERCONTROLSXP.OCX", true},
      {u"vkUserControlsXP.*", u"vkUserControls.ocx", false},
      {u"?.ini", u"a.ini", true},
      {u"?.ini", u"ab.ini", false},
      {u"?.ini", u".ini", false},
      {u"a*b*c", u"aXbYbZc", true},
      {u"a*b*c", u"aXbYbZ", false},
      {u"**x", u"abx", true},
      {u"备份*", u"备份2012", true},
      {u"*.ÉTÉ", u"été.été", true},
      {u"ПРИВЕТ.*", u"привет.txt", true},
      {u"ＡＢ*", u"ａｂｃ", true},
      {u"x?y", u"x\U0001F600y", false},  // one character, two UTF-16 units
      {u"x??y", u"x\U0001F600y", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesFilePattern(c.pattern, c.name), c.match)
        << posix::Utf16ToUtf8(c.pattern) << " against " << posix::Utf16ToUtf8(c.name);
  }
}

TEST(FilePatternTest, FindsWildcards) {
  struct Case { std::u16string pattern; bool wildcard; };
  const Case cases[] = {
      {u"*.car", true}, {u"a?c", true}, {u"Brevak.exe", false}, {u"", false}, {u"备份", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HasWildcard(c.pattern), c.wildcard) << posix::Utf16ToUtf8(c.pattern);
}

TEST(FilePatternTest, DoesNotBlowUpOnManyStars) {
  const std::u16string name(2000, u'a');
  EXPECT_FALSE(MatchesFilePattern(u"*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(MatchesFilePattern(u"*a*a*a*a*a*a*a*a*", name));
}

}  // namespace
}  // namespace brevak
