#include "core/install_dir.h"

#include <gtest/gtest.h>

namespace brevak {
namespace {

TEST(InstallDirTest, CutsTheFolderOutOfTheListing) {
  struct Case { std::u16string listing, expected; };
  const Case cases[] = {
      {u"(预设值)=C:\\Program Files\\Brevak\\Brevak.exe\r\n", u"C:\\Program Files\\Brevak\\"},
      {u"(预设值)=D:\\Brevak\\Brevak.exe\r\nPath=D:\\Brevak\\\r\n", u"D:\\Brevak\\"},
      {u"Path=D:\\Brevak\\\r\n(预设值)=D:\\Brevak\\Brevak.exe\r\n", u"Path=D:\\Brevak\\"},
      {u"(预设值)=D:\\Apps\\Main.exe\r\n", u"D:\\App"},
      {u"", u""},
      // The first marker counts.
      {u"(预设值)=D:\\Brevak\\Brevak\\Brevak.exe\r\n", u"D:\\Brevak\\"},
      // A marker only in a later line joins the lines.
      {u"(预设值)=D:\\Apps\\Brevak.exe\r\nPath=D:\\Apps\\Brevak\\\r\n",
       u"D:\\Apps\\Brevak.exePath=D:\\Apps\\Brevak\\"},
      // Letter case matters: no marker, six characters remain.
      {u"(预设值)=D:\\brevak\\Brevak.exe\r\n", u"D:\\bre"},
      // A CR LF cut in two keeps its CR.
      {u"(预设值)=D:\\ab\r\n", u"D:\\ab\r"},
      // The label is removed inside data as well.
      {u"x=C:\\(预设值)=Brevak\\\r\n", u"x=C:\\Brevak\\"},
      {u"abc", u"abc"},
  };
  for (const Case& c : cases) EXPECT_EQ(InstallDirFromListing(c.listing), c.expected);
}

}  // namespace
}  // namespace brevak
