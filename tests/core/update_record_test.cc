// The in-progress record's text: what is a whole record of this version
// or of the earlier form, what is damaged, and what a rewrite keeps.
#include <gtest/gtest.h>

#include "core/update_record.h"

namespace brevak {
namespace {

const std::u16string kDigest = u"sha256:" + std::u16string(64, u'a');
const std::u16string kV1 = u"version=1\r\nkind=update\r\nbackup=20121224093000\r\nbackup.Addr.mdb=" + kDigest +
                           u"\r\nbackup.Customerdata.car=" + kDigest + u"\r\n";
const std::u16string kRestore = u"version=1\r\nkind=restore\r\nbackup=20121225051422\r\nbackup.Addr.mdb=\r\n"
                                u"backup.Customerdata.car=" + kDigest + u"\r\nrestored=旧的 数据\r\n";
const std::u16string kEarlier = u"kind=update\r\nbackup=C:\\Program Files\\Brevak\\20121224093000\r\n"
                                u"started=20121224093000\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=8192 41000.5\r\n";

// A record carried in another: each line prefixed "update.".
std::u16string Carried(const std::u16string& text) {
  std::u16string carried;
  for (size_t at = 0; at < text.size(); at = text.find(u'\n', at) + 1) carried += u"update." + text.substr(at, text.find(u'\n', at) + 1 - at);
  return carried;
}

TEST(UpdateRecordTextTest, WholeRecordsAreReadAndDamagedOnesAreNot) {
  const std::vector<std::pair<std::u16string, int>> cases = {  // text, version read (-1: damaged)
      {kV1, 1},
      {kV1 + u"saved=20121225051422\r\nsaved=20121225051422\r\n", 1},
      {kV1 + u"note=from a later tool\r\n", 1},
      {kV1 + u"backup=20121224093000\r\n", 1},
      {kRestore, 1},
      {kRestore + Carried(kV1), 1},
      {kRestore + Carried(kEarlier), -1},
      {kEarlier, 0},
      {u"version=2\r\nbackup=20121224093000\r\nwhatever", 2},
      {u"", -1},
      {kV1.substr(0, kV1.size() / 2), -1},
      {kV1 + u"backup=20121224093001\r\n", -1},
      {kV1 + u"kind=restore\r\n", -1},
      {kV1 + u"no equals sign\r\n", -1},
      {kV1 + u"saved=..\\20121225051422\r\n", -1},
      {kV1 + u"saved=C:\\Program Files\\Brevak\\20121225051422\r\n", -1},
      {u"version=1\r\nkind=update\r\nbackup=..\r\nbackup.Addr.mdb=\r\nbackup.Customerdata.car=" + kDigest, -1},
      {u"version=1\r\nkind=update\r\nbackup=20121224093000\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=" + kDigest, -1},
      {u"version=x\r\n" + kV1, -1},
      {u"version=0\r\n" + kEarlier, -1},
      {kEarlier + u"note=x\r\n", -1},
      {kRestore.substr(0, kRestore.find(u"restored=")) + u"restored=..\r\n", -1},
      {kRestore.substr(0, kRestore.find(u"restored=")) + u"restored=a\\b\r\n", -1},
      {kV1 + u"update.kind=update\r\n", -1},
  };
  for (const auto& [text, version] : cases) {
    const std::optional<UpdateRecord> record = ParseUpdateRecord(text);
    ASSERT_EQ(record.has_value(), version >= 0) << std::string(text.begin(), text.end());
    if (record) {
      EXPECT_EQ(record->version, version) << std::string(text.begin(), text.end());
    }
  }
}

// A rewrite is always of this version, folders by name, and keeps the
// lines it does not know.
TEST(UpdateRecordTextTest, ARewriteKeepsEveryFieldAndUnknownLines) {
  UpdateRecord record = *ParseUpdateRecord(kRestore + u"note=x=y\r\nsaved=20121226000000\r\n" + Carried(kV1));
  record.backup = u"C:\\Program Files\\Brevak\\20121225051422";
  record.saved = {u"C:\\Program Files\\Brevak\\20121226000000"};
  const std::u16string text = FormatUpdateRecord(record);
  EXPECT_TRUE(text.starts_with(u"version=1\r\nkind=restore\r\nbackup=20121225051422\r\n"));
  EXPECT_NE(text.find(u"\r\nnote=x=y\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"\r\nsaved=20121226000000\r\n"), std::u16string::npos);
  const std::optional<UpdateRecord> again = ParseUpdateRecord(text);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->restored, u"旧的 数据");
  EXPECT_EQ(again->backup_files, record.backup_files);
  ASSERT_TRUE(again->unfinished_update);
  EXPECT_EQ(again->unfinished_update->backup, u"20121224093000");
  EXPECT_EQ(RecordedFolderNames(u"garbage\r\nupdate.backup=x\\20121224093000\r\nsaved=20121225051422\r\nbackup=.."),
            (std::vector<std::u16string>{u"20121224093000", u"20121225051422"}));
}

}  // namespace
}  // namespace brevak
