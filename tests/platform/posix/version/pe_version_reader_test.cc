#include "platform/posix/version/pe_version_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/posix/version/version_block.h"
#include "support/pe_writer.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using testing::BuildPe;
using testing::BuildVersionBlock;
using testing::PeFormat;
using testing::PeLayout;
using testing::PutU16;
using testing::PutU32;
using testing::ReadBinaryFile;
using testing::VersionResource;
using Bytes = std::vector<uint8_t>;

fs::path Fixture(const std::string& name) {
  return fs::path(BREVAK_SOURCE_DIR) / "tests/fixtures/pe" / name;
}

uint16_t U16At(const Bytes& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

// The bytes of a value found in `block`.
Bytes ValueBytes(const Bytes& block, const BlockValue& value) {
  return Bytes(block.begin() + static_cast<ptrdiff_t>(value.offset),
               block.begin() + static_cast<ptrdiff_t>(value.offset + value.size));
}

std::optional<Bytes> Translation(const Bytes& block) {
  const auto value = FindBlockValue(block, u"\\VarFileInfo\\Translation");
  if (!value) return std::nullopt;
  return ValueBytes(block, *value);
}

// The values of the 5.06.0004 main program, as brevak.rc states them.
VersionResource MainProgramResource() {
  VersionResource resource;
  resource.file_version = resource.product_version = {5, 6, 0, 4};
  resource.string_tables = {{u"080404B0",
                             {{u"CompanyName", u"布雷瓦克软件有限公司"},
                              {u"FileDescription", u"布雷瓦克汽修管理系统"},
                              {u"FileVersion", u"5.06.0004"},
                              {u"InternalName", u"Brevak"},
                              {u"LegalCopyright", u"版权所有 (C) 2012 布雷瓦克"},
                              {u"OriginalFilename", u"Brevak.exe"},
                              {u"ProductName", u"布雷瓦克"},
                              {u"ProductVersion", u"5.06.0004"}}}};
  resource.translations = {{{0x0804, 0x04B0}}};
  return resource;
}

TEST(PeVersionReaderTest, ReadsTheTranslationTableOfEveryToolchainFixture) {
  struct Case { std::string file; std::optional<Bytes> translation; };
  const Case cases[] = {
      {"brevak_5_06_0004.exe", Bytes{0x04, 0x08, 0xB0, 0x04}},
      {"brevak_5_06_0005.exe", Bytes{0x04, 0x08, 0xB0, 0x04}},
      {"english.exe", Bytes{0x09, 0x04, 0xB0, 0x04}},
      {"two_translations.exe", Bytes{0x04, 0x08, 0xB0, 0x04, 0x09, 0x04, 0xB0, 0x04}},
      {"utf8_code_page.exe", Bytes{0x09, 0x04, 0xE9, 0xFD}},
      {"no_translation.exe", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto block = ReadVersionBlockFromFile(Fixture(c.file));
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(U16At(*block, 0), block->size());
    EXPECT_EQ(Translation(*block), c.translation);
  }
}

TEST(PeVersionReaderTest, FilesWithoutAVersionBlockGiveNone) {
  testing::TempPrefix prefix;
  testing::WriteFile(prefix.OnDriveC("empty.exe"), "");
  testing::WriteFile(prefix.OnDriveC("text.exe"), "MZ this is no executable at all");
  const fs::path cases[] = {
      Fixture("no_version.exe"),      // resources, but none of type RT_VERSION
      Fixture("no_resources.exe"),    // no resource directory
      Fixture("main.c"),              // not a PE image
      prefix.OnDriveC("empty.exe"),
      prefix.OnDriveC("text.exe"),
      prefix.OnDriveC("missing.exe"),
      prefix.drive_c(),               // a folder
  };
  for (const fs::path& path : cases) {
    EXPECT_FALSE(ReadVersionBlockFromFile(path).has_value()) << path;
  }
}

TEST(PeVersionReaderTest, WriterLaysOutTheBlockAsTheToolchainDoes) {
  const auto from_toolchain = ReadVersionBlockFromFile(Fixture("brevak_5_06_0004.exe"));
  ASSERT_TRUE(from_toolchain.has_value());
  EXPECT_EQ(BuildVersionBlock(MainProgramResource()), *from_toolchain);
}

TEST(PeVersionReaderTest, ReadsPe32AndPe32PlusImages) {
  const Bytes block = BuildVersionBlock(MainProgramResource());
  for (PeFormat format : {PeFormat::kPe32, PeFormat::kPe32Plus}) {
    EXPECT_EQ(ReadVersionBlock(BuildPe(format, block)), block);
    EXPECT_FALSE(ReadVersionBlock(BuildPe(format, std::nullopt)).has_value());
  }
}

TEST(PeVersionReaderTest, CutsTheResourceToTheBlockLength) {
  Bytes block = BuildVersionBlock(MainProgramResource());
  const Bytes padded_tail(12, 0xAA);
  Bytes padded = block;
  padded.insert(padded.end(), padded_tail.begin(), padded_tail.end());
  EXPECT_EQ(ReadVersionBlock(BuildPe(PeFormat::kPe32, padded)), block);
}

// A truncated file yields either nothing or the whole block: never a block
// read past the end of the file.
TEST(PeVersionReaderTest, TruncatedFilesGiveNoneOrTheWholeBlock) {
  const Bytes file = ReadBinaryFile(Fixture("brevak_5_06_0004.exe"));
  const auto whole = ReadVersionBlock(file);
  ASSERT_TRUE(whole.has_value());
  size_t first_complete = file.size() + 1;
  for (size_t length = 0; length <= file.size(); ++length) {
    const auto block = ReadVersionBlock(std::span(file.data(), length));
    if (block) {
      EXPECT_EQ(*block, *whole) << length;
      first_complete = std::min(first_complete, length);
    } else {
      EXPECT_LT(length, first_complete) << "a shorter file gave a block, a longer one none";
    }
  }
  EXPECT_GT(first_complete, file.size() - 0x200) << "the block is in the last file section";
}

Bytes WrittenImage() { return BuildPe(PeFormat::kPe32, BuildVersionBlock(MainProgramResource())); }

constexpr size_t kOptional = PeLayout::kNtHeadersOffset + 24;
constexpr size_t kSection = kOptional + 224;
constexpr size_t kRsrc = PeLayout::kResourceFileOffset;

TEST(PeVersionReaderTest, MalformedImagesGiveNone) {
  struct Case { const char* what; std::function<void(Bytes&)> damage; };
  const Case cases[] = {
      {"no MZ", [](Bytes& b) { b[0] = 'X'; }},
      {"NT headers past the end", [](Bytes& b) { PutU32(b, 0x3C, 0xFFFFFFF0); }},
      {"no PE signature", [](Bytes& b) { b[PeLayout::kNtHeadersOffset + 2] = 'X'; }},
      {"unknown optional header", [](Bytes& b) { PutU16(b, kOptional, 0x107); }},
      {"optional header too short", [](Bytes& b) { PutU16(b, PeLayout::kNtHeadersOffset + 20, 100); }},
      {"two data directories", [](Bytes& b) { PutU32(b, kOptional + 92, 2); }},
      {"empty resource directory", [](Bytes& b) { PutU32(b, kOptional + 96 + 20, 0); }},
      {"resources outside every section", [](Bytes& b) { PutU32(b, kOptional + 96 + 16, 0x9000); }},
      {"65535 sections", [](Bytes& b) { PutU16(b, PeLayout::kNtHeadersOffset + 6, 0xFFFF); }},
      {"section data past the end", [](Bytes& b) { PutU32(b, kSection + 20, 0x7FFFFFF0); }},
      {"section of no size", [](Bytes& b) { PutU32(b, kSection + 16, 0); }},
      {"huge entry counts",
       [](Bytes& b) { PutU16(b, kRsrc + 12, 0xFFFF); PutU16(b, kRsrc + 14, 0xFFFF); }},
      {"no RT_VERSION", [](Bytes& b) { PutU32(b, kRsrc + 16, 3); }},
      {"type entry is no directory", [](Bytes& b) { PutU32(b, kRsrc + 20, PeLayout::kDataEntry); }},
      {"type directory points to itself", [](Bytes& b) { PutU32(b, kRsrc + 20, 0x80000000); }},
      {"language directory points to the root",
       [](Bytes& b) { PutU32(b, kRsrc + PeLayout::kLanguageDirectory + 20, 0x80000000); }},
      {"directory offset far away", [](Bytes& b) { PutU32(b, kRsrc + 20, 0xFFFFFFFF); }},
      {"no names", [](Bytes& b) { PutU16(b, kRsrc + PeLayout::kNameDirectory + 14, 0); }},
      {"data outside every section", [](Bytes& b) { PutU32(b, kRsrc + PeLayout::kDataEntry, 0xFFFFFFFA); }},
      {"resource size below a header", [](Bytes& b) { PutU32(b, kRsrc + PeLayout::kDataEntry + 4, 5); }},
      {"block longer than the resource",
       [](Bytes& b) { PutU32(b, kRsrc + PeLayout::kDataEntry + 4, U16At(b, kRsrc + PeLayout::kBlock) - 1); }},
      {"block length below a header", [](Bytes& b) { PutU16(b, kRsrc + PeLayout::kBlock, 4); }},
  };
  for (const Case& c : cases) {
    Bytes image = WrittenImage();
    c.damage(image);
    EXPECT_FALSE(ReadVersionBlock(image).has_value()) << c.what;
  }
}

TEST(PeVersionReaderTest, NamedEntriesAreNotTakenForTheTypeId) {
  // The same entry, counted once among the named entries and once among
  // those with a numeric id: only the latter is RT_VERSION.
  Bytes image = WrittenImage();
  PutU16(image, kRsrc + 12, 1);
  PutU16(image, kRsrc + 14, 0);
  EXPECT_FALSE(ReadVersionBlock(image).has_value());
  PutU16(image, kRsrc + 12, 0);
  PutU16(image, kRsrc + 14, 1);
  EXPECT_TRUE(ReadVersionBlock(image).has_value());
}

// Every single damaged byte: the reader stays inside the image and any block
// it gives is well-formed at its root.
TEST(PeVersionReaderTest, SurvivesEveryDamagedByte) {
  const Bytes original = WrittenImage();
  for (size_t at = 0; at < original.size(); ++at) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x80}}) {
      Bytes image = original;
      image[at] = value;
      const auto block = ReadVersionBlock(image);
      if (block) {
        EXPECT_EQ(U16At(*block, 0), block->size()) << at;
      }
    }
  }
}

TEST(PeVersionReaderTest, SurvivesRandomBytesBehindValidHeaders) {
  std::mt19937 random(20121225);
  const Bytes original = WrittenImage();
  for (int round = 0; round < 200; ++round) {
    Bytes image = original;
    for (size_t at = kRsrc; at < image.size(); ++at) image[at] = static_cast<uint8_t>(random());
    const auto block = ReadVersionBlock(image);
    if (block) {
      EXPECT_EQ(U16At(*block, 0), block->size());
    }
  }
}

// Where the node with `key` starts: six header bytes before its key.
size_t NodeOffset(const Bytes& block, std::u16string_view key) {
  Bytes pattern;
  for (char16_t c : key) pattern.insert(pattern.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  const auto found = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
  EXPECT_NE(found, block.end());
  return static_cast<size_t>(found - block.begin()) - 6;
}

std::optional<std::u16string> Text(const Bytes& block, std::u16string_view path) {
  const auto value = FindBlockValue(block, path);
  if (!value) return std::nullopt;
  EXPECT_TRUE(value->is_text);
  return BlockTextUnits(block, *value);
}

TEST(VersionBlockTest, FindsValuesByPathIgnoringCaseAndEmptyComponents) {
  using namespace std::string_literals;
  const Bytes block = BuildVersionBlock(MainProgramResource());
  struct Case { std::u16string path; std::optional<std::u16string> text; };
  const Case cases[] = {
      {u"\\StringFileInfo\\080404B0\\FileVersion", u"5.06.0004\0"s},
      {u"\\stringfileinfo\\080404b0\\FILEVERSION", u"5.06.0004\0"s},
      {u"\\\\StringFileInfo\\\\080404B0\\FileVersion\\", u"5.06.0004\0"s},
      {u"StringFileInfo\\080404B0\\InternalName", u"Brevak\0"s},
      {u"\\StringFileInfo\\080404B0\\CompanyName", u"布雷瓦克软件有限公司\0"s},
      {u"\\StringFileInfo\\080404B0\\File", std::nullopt},
      {u"\\StringFileInfo\\080404B0\\FileVersionX", std::nullopt},
      {u"\\StringFileInfo\\040904B0\\FileVersion", std::nullopt},
      {u"\\VarFileInfo\\080404B0\\FileVersion", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(block, c.path), c.text) << std::string(c.path.begin(), c.path.end());
  }
}

TEST(VersionBlockTest, RootAndInnerBlocksHaveTheirOwnValues) {
  const Bytes block = BuildVersionBlock(MainProgramResource());
  const auto root = FindBlockValue(block, u"\\");
  ASSERT_TRUE(root.has_value());
  EXPECT_FALSE(root->is_text);
  ASSERT_EQ(root->size, 52u);  // VS_FIXEDFILEINFO
  EXPECT_EQ(ValueBytes(block, *root)[0], 0xBD);
  EXPECT_EQ(ValueBytes(block, *root)[3], 0xFE);
  const auto inner = FindBlockValue(block, u"\\StringFileInfo");
  ASSERT_TRUE(inner.has_value());
  EXPECT_EQ(inner->size, 0u);
}

TEST(VersionBlockTest, TruncatedBlocksFindNothing) {
  const Bytes block = BuildVersionBlock(MainProgramResource());
  for (size_t length = 0; length < block.size(); ++length) {
    const std::span<const uint8_t> part(block.data(), length);
    EXPECT_FALSE(FindBlockValue(part, u"\\VarFileInfo\\Translation").has_value()) << length;
    EXPECT_FALSE(FindBlockValue(part, u"\\").has_value()) << length;
  }
}

TEST(VersionBlockTest, MalformedNodesEndTheSearch) {
  const Bytes good = BuildVersionBlock(MainProgramResource());
  const size_t string_file_info = NodeOffset(good, u"StringFileInfo");
  struct Case { const char* what; std::function<void(Bytes&)> damage; };
  const Case cases[] = {
      {"child longer than its parent", [&](Bytes& b) { PutU16(b, string_file_info, 0xFFF0); }},
      {"child of length 0", [&](Bytes& b) { PutU16(b, string_file_info, 0); }},
      {"child shorter than a header", [&](Bytes& b) { PutU16(b, string_file_info, 5); }},
      {"key without NUL", [&](Bytes& b) { PutU16(b, string_file_info, 6 + 4); }},
  };
  for (const Case& c : cases) {
    Bytes block = good;
    c.damage(block);
    EXPECT_FALSE(FindBlockValue(block, u"\\StringFileInfo\\080404B0\\FileVersion").has_value()) << c.what;
    EXPECT_FALSE(FindBlockValue(block, u"\\VarFileInfo\\Translation").has_value()) << c.what;
  }
}

TEST(VersionBlockTest, ValueLengthIsCutWhereItsNodeEnds) {
  Bytes block = BuildVersionBlock(MainProgramResource());
  const size_t node = NodeOffset(block, u"FileVersion");
  PutU16(block, node + 2, 0x7FFF);  // far more characters than the node holds
  const auto value = FindBlockValue(block, u"\\StringFileInfo\\080404B0\\FileVersion");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->size, 20u);  // "5.06.0004" and its NUL
  EXPECT_EQ(BlockTextUnits(block, *value), std::u16string(u"5.06.0004") + u'\0');
  // The value after it is still found.
  EXPECT_EQ(Text(block, u"\\StringFileInfo\\080404B0\\InternalName"), std::u16string(u"Brevak") + u'\0');
}

TEST(VersionBlockTest, TextWithoutNulIsTakenWhole) {
  Bytes block = BuildVersionBlock(MainProgramResource());
  const size_t node = NodeOffset(block, u"InternalName");
  const auto value = FindBlockValue(block, u"\\StringFileInfo\\080404B0\\InternalName");
  ASSERT_TRUE(value.has_value());
  PutU16(block, node + 2, 3);  // "Bre", no NUL among them
  EXPECT_EQ(Text(block, u"\\StringFileInfo\\080404B0\\InternalName"), u"Bre");
}

}  // namespace
}  // namespace brevak::posix
