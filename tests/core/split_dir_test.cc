#include <gtest/gtest.h>

#include "core/form_update.h"

namespace brevak {
namespace {

TEST(SplitDirTest, LabelsAnEntryWithItsDateAndTimeInWords) {
  struct Case { std::u16string entry, label; };
  const Case cases[] = {
      {u"20121225051422", u"恢复2012年12月25日05时14分22秒数据"},
      {u"2012122505142233", u"恢复2012年25月05日14时22分33秒数据"},
      {u"2012122505142", u"恢复2001年21月22日50时51分42秒数据"},
      {u"Images", u"恢复ImIm时ag分es秒数据"},
      {u"Data", u"恢复DaDa分ta秒数据"},
      {u"abc", u"恢复abbc秒数据"},
      {u"ab", u"恢复abab秒数据"},
      {u"备份", u"恢复备份备份秒数据"},
      {u"x", u"恢复x数据"},
      {u"", u"恢复数据"},
      // A character outside the basic plane counts as two units.
      {u"a\U0001F600", u"恢复a\xD83D" u"\U0001F600秒数据"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormUpdate::SplitDir(c.entry), c.label);
}

TEST(Add0Test, WidensOneCharacterOnly) {
  EXPECT_EQ(FormUpdate::Add0(u"7"), u"07");
  EXPECT_EQ(FormUpdate::Add0(u""), u"");
  EXPECT_EQ(FormUpdate::Add0(u"12"), u"12");
  EXPECT_EQ(FormUpdate::Add0(u"123"), u"123");
}

}  // namespace
}  // namespace brevak
