#include "platform/posix/version/posix_version_info.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/module_file_ver.h"
#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/version/pe_version_reader.h"
#include "support/pe_writer.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testing::VersionResource;

const VersionRecord kEmptyRecord{};

const VersionRecord kMainProgram5060004{u"5.06.0004", u"Brevak", u"布雷瓦克软件有限公司",
                                        u"版权所有 (C) 2012 布雷瓦克", u"布雷瓦克汽修管理系统",
                                        u"中文(简体，中国)"};

fs::path Fixture(const std::string& name) {
  return fs::path(BREVAK_SOURCE_DIR) / "tests/fixtures/pe" / name;
}

// The version resource of one value set under one translation entry.
VersionResource OneTable(uint16_t language, uint16_t code_page, const std::u16string& key,
                         std::vector<std::pair<std::u16string, std::u16string>> values) {
  VersionResource resource;
  resource.string_tables = {{key, std::move(values)}};
  resource.translations = {{{language, code_page}}};
  return resource;
}

class PosixVersionInfoTest : public ::testing::Test {
 protected:
  PosixVersionInfoTest() : wine_(prefix_.root()), info_(wine_, code_page_) {
    platform_.version_info = &info_;
    platform_.code_page = &code_page_;
  }

  // Puts a fixture at C:\<relative> and returns that Windows path.
  std::u16string Install(const std::string& fixture, const std::string& relative = "Brevak/Brevak.exe") {
    return InstallImage(testing::ReadBinaryFile(Fixture(fixture)), relative);
  }
  std::u16string InstallImage(const Bytes& image, const std::string& relative = "Brevak/Brevak.exe") {
    testing::WriteBinaryFile(prefix_.OnDriveC(relative), image);
    std::u16string path = u"C:\\" + Utf16(relative);
    for (char16_t& c : path) c = c == u'/' ? u'\\' : c;
    return path;
  }
  static std::u16string Utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
  std::string Ansi(const std::u16string& text) { return code_page_.ToAnsi(text); }

  // The caller's side of the calls: the block buffer of a file.
  Bytes ReadBlockBuffer(const std::u16string& path) {
    uint32_t handle = 7;
    const uint32_t size = info_.GetFileVersionInfoSizeA(Ansi(path), &handle);
    EXPECT_EQ(handle, 0u);
    Bytes buffer(size, 0);
    EXPECT_NE(info_.GetFileVersionInfoA(Ansi(path), 0, size, buffer.data()), 0);
    return buffer;
  }

  testing::TempPrefix prefix_;
  WinePrefix wine_;
  IconvCodePage code_page_;
  PosixVersionInfo info_;
  Platform platform_;
};

TEST_F(PosixVersionInfoTest, RecordOfEveryToolchainFixture) {
  struct Case { std::string file; VersionRecord record; };
  const Case cases[] = {
      {"brevak_5_06_0004.exe", kMainProgram5060004},
      {"brevak_5_06_0005.exe", {u"5.06.0005", u"Brevak", u"布雷瓦克软件有限公司",
                                u"版权所有 (C) 2012 布雷瓦克", u"布雷瓦克汽修管理系统", u"中文(简体，中国)"}},
      {"english.exe", {u"2.1.0.7", u"BrevakEn", u"Brevak Software Ltd.", u"Copyright (C) 2012",
                       u"Brevak Garage Manager", u"英语(美国)"}},
      // Only the first entry's table is read; LegalCopyright is in the second.
      {"two_translations.exe", {u"5.06.0006", u"Brevak", u"布雷瓦克软件有限公司", u"",
                                u"布雷瓦克汽修管理系统", u"中文(简体，中国)"}},
      // Code page 65001 (0xFDE9): the key 0409FDE9.
      {"utf8_code_page.exe", {u"3.00.0001", u"BrevakUtf8", u"Brevak Software Ltd.",
                              u"Copyright (C) 2013", u"Brevak Garage Manager", u"英语(美国)"}},
      {"no_translation.exe", kEmptyRecord},
      {"no_version.exe", kEmptyRecord},
      {"no_resources.exe", kEmptyRecord},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(GetFileVer(platform_, Install(c.file)), c.record);
  }
}

TEST_F(PosixVersionInfoTest, MissingFilesAndFoldersHaveNoVersionBlock) {
  std::filesystem::create_directories(prefix_.OnDriveC("Folder.exe"));
  for (const std::u16string path : {u"C:\\Brevak\\Brevak.exe", u"C:\\Folder.exe", u"Q:\\Brevak.exe"}) {
    uint32_t handle = 7;
    EXPECT_EQ(info_.GetFileVersionInfoSizeA(Ansi(path), &handle), 0u);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetFileVer(platform_, path), kEmptyRecord);
  }
}

TEST_F(PosixVersionInfoTest, PathsArriveInGbkAndResolveAsOnWindows) {
  Install("brevak_5_06_0004.exe", "布雷瓦克/Brevak.exe");
  // sInstallDir ends in a backslash, so the path holds two in a row.
  EXPECT_EQ(GetFileVer(platform_, u"C:\\布雷瓦克\\\\Brevak.exe")[0], u"5.06.0004");
  EXPECT_EQ(GetFileVer(platform_, u"c:\\布雷瓦克\\BREVAK.exe")[0], u"5.06.0004");
}

TEST_F(PosixVersionInfoTest, BlockBufferHoldsTheBlockAndRoomForItsTexts) {
  const std::u16string path = Install("brevak_5_06_0004.exe");
  const Bytes raw = *ReadVersionBlockFromFile(prefix_.OnDriveC("Brevak/Brevak.exe"));
  uint32_t handle = 0;
  const uint32_t size = info_.GetFileVersionInfoSizeA(Ansi(path), &handle);
  EXPECT_EQ(size, PosixVersionInfo::BufferSize(raw.size()));
  EXPECT_GE(size, 2 * raw.size());
  Bytes buffer(size + 4, 0xCC);
  EXPECT_EQ(info_.GetFileVersionInfoA(Ansi(path), 0, size - 1, buffer.data()), 0);
  EXPECT_EQ(buffer[0], 0xCC) << "a short buffer is not written";
  EXPECT_NE(info_.GetFileVersionInfoA(Ansi(path), 0, size, buffer.data()), 0);
  EXPECT_TRUE(std::equal(raw.begin(), raw.end(), buffer.begin()));
  EXPECT_EQ(Bytes(buffer.end() - 4, buffer.end()), Bytes(4, 0xCC)) << "nothing past the size";
}

TEST_F(PosixVersionInfoTest, TranslationTableIsTheRawBytesInsideTheBuffer) {
  Bytes buffer = ReadBlockBuffer(Install("two_translations.exe"));
  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_NE(info_.VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &length), 0);
  const auto* bytes = static_cast<const uint8_t*>(value);
  ASSERT_GE(bytes, buffer.data());
  ASSERT_LE(bytes + length, buffer.data() + buffer.size());
  EXPECT_EQ(Bytes(bytes, bytes + length), (Bytes{0x04, 0x08, 0xB0, 0x04, 0x09, 0x04, 0xB0, 0x04}));
}

TEST_F(PosixVersionInfoTest, TextValuesAreNulEndedGbkInsideTheBuffer) {
  Bytes buffer = ReadBlockBuffer(Install("brevak_5_06_0004.exe"));
  struct Case { std::string sub_block; std::u16string text; };
  const Case cases[] = {
      {"\\StringFileInfo\\080404B0\\CompanyName", u"布雷瓦克软件有限公司"},
      {"\\StringFileInfo\\080404B0\\FileVersion", u"5.06.0004"},
      {"\\stringfileinfo\\080404b0\\productname", u"布雷瓦克"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sub_block);
    const void* value = nullptr;
    uint32_t length = 0;
    ASSERT_NE(info_.VerQueryValueA(buffer.data(), c.sub_block, &value, &length), 0);
    const char* text = static_cast<const char*>(value);
    ASSERT_GE(reinterpret_cast<const uint8_t*>(text), buffer.data());
    ASSERT_LE(reinterpret_cast<const uint8_t*>(text) + length, buffer.data() + buffer.size());
    EXPECT_EQ(std::string(text), Ansi(c.text));
    EXPECT_EQ(length, Ansi(c.text).size() + 1) << "the stored NUL is counted";
  }
}

TEST_F(PosixVersionInfoTest, MissingSubBlocksAndForeignBuffersAreNotFound) {
  Bytes buffer = ReadBlockBuffer(Install("brevak_5_06_0004.exe"));
  const void* value = nullptr;
  uint32_t length = 9;
  EXPECT_EQ(info_.VerQueryValueA(buffer.data(), "\\StringFileInfo\\040904B0\\FileVersion", &value, &length), 0);
  EXPECT_EQ(length, 0u);
  Bytes zeros(buffer.size(), 0);
  EXPECT_EQ(info_.VerQueryValueA(zeros.data(), "\\", &value, &length), 0);
  Bytes unmarked = buffer;
  std::memset(unmarked.data() + unmarked[0] + (unmarked[1] << 8), 0, 8);
  EXPECT_EQ(info_.VerQueryValueA(unmarked.data(), "\\", &value, &length), 0);
  EXPECT_EQ(info_.VerQueryValueA(nullptr, "\\", &value, &length), 0);
}

TEST_F(PosixVersionInfoTest, RootIsTheFixedFileInfo) {
  Bytes buffer = ReadBlockBuffer(Install("brevak_5_06_0004.exe"));
  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_NE(info_.VerQueryValueA(buffer.data(), "\\", &value, &length), 0);
  ASSERT_EQ(length, 52u);
  uint32_t words[3];
  std::memcpy(words, value, sizeof words);
  EXPECT_EQ(words[0], 0xFEEF04BDu);
  EXPECT_EQ(words[2], 0x00050006u);  // 5.6 of FILEVERSION 5,6,0,4
}

// The buffer is all a query needs: a copy answers by itself.
TEST_F(PosixVersionInfoTest, ACopiedBufferAnswersFromItself) {
  Bytes original = ReadBlockBuffer(Install("brevak_5_06_0004.exe"));
  Bytes copy = original;
  std::fill(original.begin(), original.end(), 0xCC);
  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_NE(info_.VerQueryValueA(copy.data(), "\\StringFileInfo\\080404B0\\CompanyName", &value, &length), 0);
  EXPECT_GE(static_cast<const uint8_t*>(value), copy.data());
  EXPECT_LT(static_cast<const uint8_t*>(value), copy.data() + copy.size());
  EXPECT_EQ(std::string(static_cast<const char*>(value)), Ansi(u"布雷瓦克软件有限公司"));
}

TEST_F(PosixVersionInfoTest, LanguageNamesInChinese) {
  struct Case { uint32_t language; std::u16string name; };
  const Case cases[] = {
      {0x0804, u"中文(简体，中国)"},  {0x0404, u"中文(繁体，台湾)"},
      {0x0C04, u"中文(繁体，香港特别行政区)"}, {0x0409, u"英语(美国)"},
      {0x0411, u"日语(日本)"},       {0x0412, u"朝鲜语(韩国)"},
      {0x0000, u"语言无关"},         {0x1234, u"未知语言"},
      {0x10804, u"未知语言"},
  };
  for (const Case& c : cases) {
    char name[255];
    const uint32_t length = info_.VerLanguageNameA(c.language, name, sizeof name);
    EXPECT_EQ(std::string(name), Ansi(c.name)) << c.language;
    EXPECT_EQ(length, Ansi(c.name).size());
  }
}

TEST_F(PosixVersionInfoTest, LanguageNameIsCutOnACharacterBoundary) {
  // 中文(简体，中国) in GBK: two two-byte characters, then '('.
  struct Case { uint32_t size; std::string written; };
  const Case cases[] = {
      {6, Ansi(u"中文(")}, {5, Ansi(u"中文")}, {4, Ansi(u"中")}, {2, ""}, {1, ""},
  };
  for (const Case& c : cases) {
    std::string buffer(8, ' ');
    const uint32_t length = info_.VerLanguageNameA(0x0804, buffer.data(), c.size);
    EXPECT_EQ(buffer.substr(0, c.written.size() + 1), c.written + '\0') << c.size;
    EXPECT_EQ(buffer.substr(c.size), std::string(8 - c.size, ' ')) << "nothing past the size";
    EXPECT_EQ(length, Ansi(u"中文(简体，中国)").size());
  }
  std::string untouched(4, ' ');
  info_.VerLanguageNameA(0x0804, untouched.data(), 0);
  EXPECT_EQ(untouched, "    ");
}

// Shapes that the resource compiler will not make, written by the fixture
// writer and read through the whole stack.
TEST_F(PosixVersionInfoTest, RecordOfWrittenImages) {
  using testing::PeFormat;
  VersionResource empty_table = OneTable(0, 0, u"00000000", {{u"FileVersion", u"1.0"}});
  empty_table.translations->clear();
  const std::u16string long_chinese(200, u'汉');  // 400 bytes in GBK
  struct Case { const char* what; PeFormat format; VersionResource resource; VersionRecord record; };
  const Case cases[] = {
      {"empty translation table", PeFormat::kPe32, empty_table,
       {u"1.0", u"", u"", u"", u"", u"语言无关"}},
      {"language and code page of 0x8000 and above", PeFormat::kPe32Plus,
       OneTable(0x8004, 0xFDE9, u"8004FDE9", {{u"FileVersion", u"7.0"}, {u"InternalName", u"High"}}),
       {u"7.0", u"High", u"", u"", u"", u"未知语言"}},
      {"values ending in spaces", PeFormat::kPe32,
       OneTable(0x0804, 0x04B0, u"080404B0", {{u"FileVersion", u"5.06.0004  "}, {u"FileDescription", u"说明 "}}),
       {u"5.06.0004  ", u"", u"", u"", u"说明 ", u"中文(简体，中国)"}},
      {"values longer than the value buffer", PeFormat::kPe32,
       OneTable(0x0804, 0x04B0, u"080404B0",
                {{u"FileVersion", std::u16string(300, u'9')}, {u"CompanyName", long_chinese}}),
       {std::u16string(259, u'9'), u"", std::u16string(129, u'汉'), u"", u"", u"中文(简体，中国)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string path = InstallImage(testing::BuildPe(c.format, testing::BuildVersionBlock(c.resource)));
    EXPECT_EQ(GetFileVer(platform_, path), c.record);
  }
}

TEST_F(PosixVersionInfoTest, WrittenImageReadsAsTheToolchainsForTheSameValues) {
  const VersionRecord from_toolchain = GetFileVer(platform_, Install("brevak_5_06_0004.exe"));
  ASSERT_EQ(from_toolchain, kMainProgram5060004);
  VersionResource resource = OneTable(0x0804, 0x04B0, u"080404B0", {});
  for (int i = 0; i < 5; ++i) {
    static const char16_t* const kNames[] = {u"FileVersion", u"InternalName", u"CompanyName",
                                             u"LegalCopyright", u"FileDescription"};
    resource.string_tables[0].values.emplace_back(kNames[i], from_toolchain[i]);
  }
  for (auto format : {testing::PeFormat::kPe32, testing::PeFormat::kPe32Plus}) {
    const std::u16string path = InstallImage(testing::BuildPe(format, testing::BuildVersionBlock(resource)),
                                             "Written/Brevak.exe");
    EXPECT_EQ(GetFileVer(platform_, path), from_toolchain);
  }
}

}  // namespace
}  // namespace brevak::posix
