// What the tool says of a record it cannot follow, built from values: each
// names every folder given with its date in words, says what to do, and
// gives the file's name on its last line where support needs it.
#include <gtest/gtest.h>

#include "core/record_texts.h"

namespace brevak {
namespace {
using namespace std::string_literals;

TEST(RecordTextsTest, EachNamesEveryFolderWithItsDateAndSaysWhatToDo) {
  const std::vector<NamedFolder> two = {{u"C:\\B\\20121224093000", u"2012年12月24日09时30分00秒"},
                                        {u"C:\\B\\20121225051422", u"2012年12月25日05时14分22秒"}};
  const std::u16string named = u"备份文件夹 C:\\B\\20121224093000（2012年12月24日09时30分00秒）、备份文件夹 "
                               u"C:\\B\\20121225051422（2012年12月25日05时14分22秒）";
  EXPECT_EQ(FolderListText(two), named);
  const std::u16string file = u"\r\n升级进度文件：C:\\B\\upgrade-in-progress.brevak";
  for (const std::u16string& text : {UntrustedRecordQuestion(RecordIncompleteReason(), two, file.substr(9)),
                                     NewerToolRecordMessage(two, file.substr(9)), SetAsideRecordLine(two),
                                     RestoreAfterSetAsideMessage(two[1], two)}) {
    EXPECT_NE(text.find(named), std::u16string::npos) << std::string(text.begin(), text.end());
    EXPECT_TRUE(text.find(u"技术支持") != std::u16string::npos) << std::string(text.begin(), text.end());
  }
  EXPECT_TRUE(UntrustedRecordQuestion(u"x", {}, file.substr(9)).ends_with(file + u"（x）"));
  EXPECT_NE(UntrustedRecordQuestion(u"x", {}, u"f").find(u"没有找到"), std::u16string::npos);
  EXPECT_TRUE(NewerToolRecordMessage({}, file.substr(9)).ends_with(file));
  EXPECT_NE(SetAsideRecordLine({}).find(u"没有指出"), std::u16string::npos);
  EXPECT_TRUE(RestoreAfterSetAsideMessage({u"C:\\B\\20261210125633", u"2026年12月10日12时56分33秒"}, two)
                  .starts_with(u"恢复完成。这次恢复之前的数据保存在：备份文件夹 C:\\B\\20261210125633（"));
  const std::u16string refused = RetryWillNotHelpMessage({u"Pic", u"SmsSave"}, u"x", {two[0]}, {two[1]});
  for (const std::u16string& part : {FolderListText({two[0]}), FolderListText({two[1]}), u"\r\nPic、SmsSave\r\n"s}) {
    EXPECT_NE(refused.find(part), std::u16string::npos) << std::string(refused.begin(), refused.end());
  }
  EXPECT_EQ(refused.find(u"完成"), std::u16string::npos);
  // After a put-back the answer that keeps the data in place is 是.
  EXPECT_NE(RestoreNotEndedMessage(u"e", two, {}, u"d", u"f", true).find(u"请点“是”，再放回一次 e"), std::u16string::npos);
}

// The texts about a backup folder a copy is made into: each names the folder
// with its date, says that the data did not change, and what to do.
TEST(RecordTextsTest, EachBackupFolderTextNamesTheFolderAndWhatToDo) {
  const NamedFolder folder{u"C:\\B\\20121225051422", u"2012年12月25日05时14分22秒"};
  const std::u16string named = u"备份文件夹 C:\\B\\20121225051422（2012年12月25日05时14分22秒）";
  for (const std::u16string& text :
       {BackupFolderNotMadeMessage(kRestoreNotMade, folder, u"文件已存在", u"恢复2012年12月24日09时30分00秒数据"),
        UnfinishedCopyKeptMessage(folder, u"没有权限", false), UnfinishedCopyKeptMessage(folder, u"", true)}) {
    EXPECT_NE(text.find(named + u"（"), std::u16string::npos) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(u"。数据没有改动。\r\n"), std::u16string::npos) << std::string(text.begin(), text.end());
  }
  EXPECT_TRUE(BackupFolderNotMadeMessage(kUpdateNotMade, folder, u"x", kUpdateButton)
                  .ends_with(u"请稍后再点击“开始更新”；如果这个提示再次出现，请联系技术支持。"));
  EXPECT_TRUE(UnfinishedCopyNotEndedMessage(u"x", u"C:\\B\\f").ends_with(u"请联系技术支持。\r\n升级进度文件：C:\\B\\f"));
}

}  // namespace
}  // namespace brevak
