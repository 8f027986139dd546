#include "core/vb_text.h"

#include <gtest/gtest.h>

#include "platform/runtime_error.h"

using namespace std::string_literals;
namespace brevak::vb {
namespace {

TEST(VbTextTest, InStrCountsFromOneAndFindsFromStart) {
  struct Case { int32_t start; std::u16string text, find; int32_t expected; };
  const Case cases[] = {
      {1, u"D:\\Brevak\\Brevak\\", u"Brevak\\", 4},
      {5, u"D:\\Brevak\\Brevak\\", u"Brevak\\", 11},
      {1, u"brevak\\", u"Brevak\\", 0},
      {1, u"", u"x", 0},
      {3, u"ab", u"", 0},
      {1, u"a\0b"s, u"\0"s, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(InStr(c.start, c.text, c.find), c.expected);
}

TEST(VbTextTest, OutOfRangeArgumentsRaiseError5) {
  EXPECT_THROW(InStr(0, u"a", u"a"), RunTimeError);
  EXPECT_THROW(Left(u"a", -1), RunTimeError);
  EXPECT_THROW(Mid(u"a", 0, 1), RunTimeError);
  EXPECT_THROW(Mid(u"a", 1, -1), RunTimeError);
  try {
    Left(u"abc", -1);
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), 5);
  }
}

TEST(VbTextTest, LeftAndMidClampAtTheEnd) {
  EXPECT_EQ(Left(u"D:\\ab\r\n", 6), u"D:\\ab\r");
  EXPECT_EQ(Left(u"abc", 10), u"abc");
  EXPECT_EQ(Mid(u"abc", 4, 1), u"");
  EXPECT_EQ(Mid(u"abcdef", 2, 3), u"bcd");
  EXPECT_EQ(Mid(u"abcdef", 5, 3), u"ef");
}

TEST(VbTextTest, ReplaceSplitHexCStr) {
  EXPECT_EQ(Replace(u"a\r\nb\r\r\n\n", u"\r\n", u""), u"ab\r\n");
  EXPECT_EQ(Split(u"秒;分;时", u";"), (std::vector<std::u16string>{u"秒", u"分", u"时"}));
  EXPECT_EQ(Split(u"", u";"), (std::vector<std::u16string>{u""}));
  EXPECT_EQ(Split(u"秒;分", u""), (std::vector<std::u16string>{u"秒;分"}));
  EXPECT_EQ(Hex(0), u"0");
  EXPECT_EQ(Hex(171), u"AB");
  EXPECT_EQ(Hex(0x80000000u), u"80000000");
  EXPECT_EQ(CStr(-1), u"-1");
}

}  // namespace
}  // namespace brevak::vb
