// The update's last message from what its migration came to.
#include "core/migration_message.h"

#include <gtest/gtest.h>

#include "platform/posix/text/utf.h"

namespace brevak {
// When the customer database did not open, its tables are the upgrade log's
// to name; an address-book table that failed is named in the message.
TEST(MigrationMessageTest, NamesOnlyTheAddressBooksTablesWhenTheCustomerDatabaseDidNotOpen) {
  MigrationOutcome outcome;
  outcome.failed = {u"Pic", u"main", u"SmsReg"};
  outcome.customer_open_error = u"locked";
  EXPECT_EQ(posix::Utf16ToUtf8(MigrationMessage(outcome, {u"C:\\\\B", u"S", u"\r\nG", u"RETRY"})),
            "客户数据库打不开，客户数据都没有转移（各数据表的名称记在升级日志中）。\r\n"
            "升级没有完成：有 1 个数据表的数据没有转移到新版本中：\r\nPic\r\n这些数据没有丢失，仍保存在C:\\B中。"
            "\r\n继续升级前另存的数据保存在：S\r\nG\r\nRETRY");
}
}  // namespace brevak
