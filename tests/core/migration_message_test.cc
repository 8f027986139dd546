// The update's last message from what its migration came to.
#include "core/migration_message.h"

#include <gtest/gtest.h>

#include "platform/posix/text/utf.h"

namespace brevak {
namespace {

TEST(MigrationMessageTest, SaysWhatMovedAndWhereWhatDidNotMoveIs) {
  const std::string kKept = "\r\n这些数据没有丢失，仍保存在C:\\B中。\r\nRETRY";
  const std::string kPic = "升级没有完成：有 1 个数据表的数据没有转移到新版本中：\r\nPic";
  const std::string kNotOpened = "客户数据库打不开，客户数据都没有转移（各数据表的名称记在升级日志中）。";
  struct Case {
    std::vector<std::u16string> failed;
    bool customer_not_opened;
    std::u16string saved, given_up;
    std::string expected;
  };
  const Case cases[] = {
      {{}, false, u"", u"", "升级完成"},
      {{}, false, u"S", u"\r\nG", "升级完成\r\n继续升级前另存的数据保存在：S\r\nG"},
      {{u"Pic"}, false, u"", u"", kPic + kKept},
      {{u"Pic"}, false, u"S", u"", kPic + kKept.substr(0, kKept.size() - 7) + "\r\n继续升级前另存的数据保存在：S\r\nRETRY"},
      // The customer database's tables are named in the upgrade log only.
      {{u"Pic", u"main", u"SmsReg"}, true, u"", u"", kNotOpened + "\r\n" + kPic + kKept},
      {{u"main"}, true, u"", u"", kNotOpened + kKept},
  };
  for (const Case& c : cases) {
    MigrationOutcome outcome;
    outcome.failed = c.failed;
    if (c.customer_not_opened) outcome.customer_open_error = u"locked";
    const MigrationMessageParts parts{u"C:\\\\B", c.saved, c.given_up, u"RETRY"};
    EXPECT_EQ(posix::Utf16ToUtf8(MigrationMessage(outcome, parts)), c.expected);
  }
}

}  // namespace
}  // namespace brevak
