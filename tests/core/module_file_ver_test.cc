#include "core/module_file_ver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "platform/posix/text/iconv_code_page.h"

namespace brevak {
namespace {
using namespace std::string_literals;

// Version resources held in memory. Logs what the procedure asks, so a test
// can check the keys, sizes and buffers it passes.
class FakeVersionInfo : public VersionInfo {
 public:
  struct File {
    std::optional<std::string> translation;     // the table's bytes; none: no table
    std::map<std::string, std::string> values;  // sub-block -> text, handed out NUL-ended
    std::optional<uint32_t> reported_size;      // what the size call says; default 64
    bool readable = true;
  };

  uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) override {
    *handle = 0;
    const auto file = files.find(path);
    if (file == files.end()) return 0;
    return file->second.reported_size.value_or(64);
  }

  int32_t GetFileVersionInfoA(const std::string& path, uint32_t, uint32_t length, void* data) override {
    read_lengths.push_back(length);
    const auto* bytes = static_cast<const uint8_t*>(data);
    buffers_were_zero = buffers_were_zero && std::all_of(bytes, bytes + length, [](uint8_t b) { return b == 0; });
    const auto file = files.find(path);
    if (file == files.end() || !file->second.readable) return 0;
    read_ = &file->second;
    return 1;
  }

  int32_t VerQueryValueA(const void*, const std::string& sub_block, const void** buffer,
                         uint32_t* length) override {
    queries.push_back(sub_block);
    if (sub_block == "\\VarFileInfo\\Translation") {
      if (!read_->translation) return 0;
      *buffer = read_->translation->data();
      *length = static_cast<uint32_t>(read_->translation->size());
      return 1;
    }
    const auto value = read_->values.find(sub_block);
    if (value == read_->values.end()) return 0;
    *buffer = value->second.c_str();
    *length = static_cast<uint32_t>(value->second.size() + 1);
    return 1;
  }

  uint32_t VerLanguageNameA(uint32_t language, char* name, uint32_t size) override {
    language_calls.emplace_back(language, size);
    if (!language_name) return 0;
    const size_t n = std::min<size_t>(language_name->size(), size - 1);
    std::copy_n(language_name->begin(), n, name);
    name[n] = '\0';
    return static_cast<uint32_t>(n);
  }

  // Forgets every file and everything logged.
  void Reset() {
    files.clear();
    language_name = "Chinese";
    queries.clear();
    language_calls.clear();
    read_lengths.clear();
    buffers_were_zero = true;
    read_ = nullptr;
  }

  std::map<std::string, File> files;  // by GBK path
  std::optional<std::string> language_name = "Chinese";  // none: nothing is written

  std::vector<std::string> queries;
  std::vector<std::pair<uint32_t, uint32_t>> language_calls;  // language, size told
  std::vector<uint32_t> read_lengths;
  bool buffers_were_zero = true;

 private:
  const File* read_ = nullptr;
};

const std::string kPath = "C:\\Brevak\\Brevak.exe";
const VersionRecord kEmpty{};
const std::string kChinesePrc("\x04\x08\xB0\x04", 4);

class ModuleFileVerTest : public ::testing::Test {
 protected:
  ModuleFileVerTest() {
    platform_.version_info = &version_;
    platform_.code_page = &code_page_;
  }

  // A file whose first translation entry is `table`, with `values` under
  // the key `key`.
  FakeVersionInfo::File& AddFile(std::optional<std::string> table, const std::string& key,
                                 const std::map<std::string, std::string>& values) {
    FakeVersionInfo::File& file = version_.files[kPath];
    file.translation = std::move(table);
    for (const auto& [name, text] : values) file.values["\\StringFileInfo\\" + key + "\\" + name] = text;
    return file;
  }
  VersionRecord Read() { return GetFileVer(platform_, u"C:\\Brevak\\Brevak.exe"); }
  std::string Gbk(const std::u16string& text) { return code_page_.ToAnsi(text); }

  FakeVersionInfo version_;
  posix::IconvCodePage code_page_;
  Platform platform_;
};

TEST_F(ModuleFileVerTest, ReadsTheFiveValuesUnderTheFirstEntrysKey) {
  AddFile(kChinesePrc, "080404B0",
          {{"FileVersion", "5.06.0004"}, {"InternalName", "Brevak"},
           {"CompanyName", Gbk(u"布雷瓦克软件有限公司")}, {"LegalCopyright", Gbk(u"版权所有")},
           {"FileDescription", Gbk(u"汽修管理")}});
  version_.language_name = Gbk(u"中文(简体，中国)");
  EXPECT_EQ(Read(), (VersionRecord{u"5.06.0004", u"Brevak", u"布雷瓦克软件有限公司", u"版权所有",
                                   u"汽修管理", u"中文(简体，中国)"}));
  EXPECT_EQ(version_.queries, (std::vector<std::string>{
                                  "\\VarFileInfo\\Translation",
                                  "\\StringFileInfo\\080404B0\\FileVersion",
                                  "\\StringFileInfo\\080404B0\\InternalName",
                                  "\\StringFileInfo\\080404B0\\CompanyName",
                                  "\\StringFileInfo\\080404B0\\LegalCopyright",
                                  "\\StringFileInfo\\080404B0\\FileDescription"}));
  EXPECT_EQ(version_.language_calls, (std::vector<std::pair<uint32_t, uint32_t>>{{0x0804, 255}}));
}

TEST_F(ModuleFileVerTest, BlockBufferIsZeroFilledOfTheReportedSize) {
  AddFile(kChinesePrc, "080404B0", {{"FileVersion", "1"}}).reported_size = 1234;
  Read();
  EXPECT_EQ(version_.read_lengths, std::vector<uint32_t>{1234});
  EXPECT_TRUE(version_.buffers_were_zero);
}

TEST_F(ModuleFileVerTest, PathReachesThePlatformInGbk) {
  const std::u16string path = u"D:\\布雷瓦克\\\\Brevak.exe";
  version_.files[Gbk(path)].translation = kChinesePrc;
  version_.files[Gbk(path)].values["\\StringFileInfo\\080404B0\\FileVersion"] = "5.06.0005";
  EXPECT_EQ(GetFileVer(platform_, path)[0], u"5.06.0005");
}

TEST_F(ModuleFileVerTest, NoBlockOrNoTranslationTableGivesSixEmptyTexts) {
  struct Case { const char* what; std::function<void(FakeVersionInfo&)> setup; size_t reads; size_t queries; };
  const Case cases[] = {
      {"missing file", [](FakeVersionInfo&) {}, 0, 0},
      {"size 0", [](FakeVersionInfo& v) { v.files[kPath].reported_size = 0; }, 0, 0},
      {"size negative as a signed number", [](FakeVersionInfo& v) { v.files[kPath].reported_size = 0x80000000u; }, 0, 0},
      {"size -1", [](FakeVersionInfo& v) { v.files[kPath].reported_size = 0xFFFFFFFFu; }, 0, 0},
      {"block cannot be read", [](FakeVersionInfo& v) { v.files[kPath].readable = false; }, 1, 0},
      {"no translation table",
       [](FakeVersionInfo& v) { v.files[kPath].values["\\StringFileInfo\\080404B0\\FileVersion"] = "5"; }, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    version_.Reset();
    c.setup(version_);
    EXPECT_EQ(Read(), kEmpty);
    EXPECT_EQ(version_.read_lengths.size(), c.reads);
    EXPECT_EQ(version_.queries.size(), c.queries);
    EXPECT_TRUE(version_.language_calls.empty());
  }
}

// The key is the first entry's language * 0x10000 + code page in eight hex
// digits, with unsigned arithmetic: 0x8000 and above are keys like others.
TEST_F(ModuleFileVerTest, KeyAndLanguageComeFromTheFirstEntry) {
  struct Case { std::string table; std::string key; uint32_t language; };
  const Case cases[] = {
      {kChinesePrc, "080404B0", 0x0804},
      {"\x09\x04\x00\x00"s, "04090000", 0x0409},
      {"", "00000000", 0},                                 // empty table
      {"\x04\x08"s, "08040000", 0x0804},                   // the missing bytes are 0
      {"\x04"s, "00040000", 0x0004},
      {"\x09\x04\xE9\xFD"s, "0409FDE9", 0x0409},           // code page 65001
      {"\x00\x80\x00\x80"s, "80008000", 0x8000},
      {"\xFF\xFF\xFF\xFF"s, "FFFFFFFF", 0xFFFF},
      {kChinesePrc + "\x09\x04\xB0\x04"s, "080404B0", 0x0804},   // two entries
      {kChinesePrc + std::string(396, '\x7F'), "080404B0", 0x0804},  // longer than the 261-byte area
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    version_.Reset();
    const std::string version = "v" + c.key;
    AddFile(c.table, c.key, {{"FileVersion", version}});
    const VersionRecord record = Read();
    EXPECT_EQ(record[0], std::u16string(version.begin(), version.end()));
    ASSERT_EQ(version_.language_calls.size(), 1u);
    EXPECT_EQ(version_.language_calls[0].first, c.language);
  }
}

TEST_F(ModuleFileVerTest, OnlyTheFirstEntrysTableIsRead) {
  FakeVersionInfo::File& file = AddFile(kChinesePrc + "\x09\x04\xB0\x04"s, "080404B0", {{"FileVersion", "5.06.0006"}});
  file.values["\\StringFileInfo\\040904B0\\LegalCopyright"] = "Copyright";
  const VersionRecord record = Read();
  EXPECT_EQ(record[0], u"5.06.0006");
  EXPECT_EQ(record[3], u"");
}

TEST_F(ModuleFileVerTest, MissingValuesAreEmptyAndTheOthersStillRead) {
  AddFile(kChinesePrc, "080404B0", {{"InternalName", "Brevak"}, {"FileDescription", "Tool"}});
  EXPECT_EQ(Read(), (VersionRecord{u"", u"Brevak", u"", u"", u"Tool", u"Chinese"}));
}

TEST_F(ModuleFileVerTest, OnlyANulCutsAValue) {
  AddFile(kChinesePrc, "080404B0",
          {{"FileVersion", "5.06.0004   "}, {"InternalName", "  Brevak"}, {"CompanyName", "abc\0def"s},
           {"LegalCopyright", ""}});
  const VersionRecord record = Read();
  EXPECT_EQ(record[0], u"5.06.0004   ");
  EXPECT_EQ(record[1], u"  Brevak");
  EXPECT_EQ(record[2], u"abc");
  EXPECT_EQ(record[3], u"");
}

// The value buffer holds 259 bytes and the NUL: a longer value is cut to
// the whole characters that fit.
TEST_F(ModuleFileVerTest, LongValuesAreCutToTheValueBuffer) {
  const std::string han = Gbk(u"汉");
  std::string many_han;
  for (int i = 0; i < 200; ++i) many_han += han;
  struct Case { std::string value; std::u16string text; };
  const Case cases[] = {
      {std::string(258, 'x'), std::u16string(258, u'x')},
      {std::string(259, 'x'), std::u16string(259, u'x')},
      {std::string(260, 'x'), std::u16string(259, u'x')},
      {std::string(5000, 'x'), std::u16string(259, u'x')},
      {many_han, std::u16string(129, u'汉')},
      {"a" + many_han, u"a" + std::u16string(129, u'汉')},
      {"ab" + many_han, u"ab" + std::u16string(128, u'汉')},
  };
  for (const Case& c : cases) {
    version_.Reset();
    AddFile(kChinesePrc, "080404B0", {{"CompanyName", c.value}});
    EXPECT_EQ(Read()[2], c.text) << c.value.size();
  }
}

TEST_F(ModuleFileVerTest, LanguageNameNotWrittenLeavesTheBufferOfSpaces) {
  AddFile(kChinesePrc, "080404B0", {{"FileVersion", "1"}});
  version_.language_name.reset();
  EXPECT_EQ(Read()[5], std::u16string(260, u' '));
}

TEST_F(ModuleFileVerTest, LanguageNameIsToldTheBufferHolds255Bytes) {
  AddFile(kChinesePrc, "080404B0", {{"FileVersion", "1"}});
  version_.language_name = std::string(300, 'n');
  EXPECT_EQ(Read()[5], std::u16string(254, u'n'));
  EXPECT_EQ(version_.language_calls[0].second, 255u);
}

TEST(StripNullTest, CutsAtTheFirstNul) {
  struct Case { std::u16string text; std::u16string stripped; };
  const Case cases[] = {
      {u"abc\0def"s, u"abc"},
      {u"\0abc"s, u""},
      {u"abc", u"abc"},
      {u"", u""},
      {u"a\0\0"s, u"a"},
      {u"中文(简体，中国)\0   "s, u"中文(简体，中国)"},
      {u"trailing  ", u"trailing  "},
  };
  for (const Case& c : cases) EXPECT_EQ(StripNull(c.text), c.stripped);
}

}  // namespace
}  // namespace brevak
