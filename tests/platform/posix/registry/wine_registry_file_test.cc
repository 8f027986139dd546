#include "platform/posix/registry/wine_registry_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/registry.h"
#include "support/temp_prefix.h"
#include "support/unprivileged.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr char kKey[] = R"(Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe)";
constexpr char16_t kKeyPath[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe";

// A registry file: the header on line 1, then `lines` from line 2 on.
std::string RegText(const std::vector<std::string>& lines) {
  std::string text = "WINE REGISTRY Version 2\n";
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

struct Loaded {
  std::optional<WineRegistryFile> file;
  std::string diagnostics;
  std::vector<RegistryValue> Values(const std::u16string& key = kKeyPath) const {
    return file.value().FindKey(key).value();
  }
};

Loaded LoadText(const testing::TempPrefix& prefix, const std::string& content) {
  prefix.WriteSystemReg(content);
  std::ostringstream diagnostics;
  Loaded loaded;
  loaded.file = WineRegistryFile::Load(prefix.root() / "system.reg", diagnostics);
  loaded.diagnostics = diagnostics.str();
  return loaded;
}

std::vector<std::string> DiagnosticLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(WineRegistryFileTest, ReadsEveryDataForm) {
  struct Case { std::string data; uint32_t type; std::u16string text; std::string bytes; };
  const Case cases[] = {
      {R"("C:\\Program Files\\Brevak\\Brevak.exe")", REG_SZ, u"C:\\Program Files\\Brevak\\Brevak.exe\0"s, ""},
      {R"("")", REG_SZ, u"\0"s, ""},
      {R"(str:"x")", REG_SZ, u"x\0"s, ""},
      {R"(str(2):"%SystemRoot%\\x")", REG_EXPAND_SZ, u"%SystemRoot%\\x\0"s, ""},
      {R"(str(7):"a\0b\0")", REG_MULTI_SZ, u"a\0b\0\0"s, ""},
      {R"(str(7):"\0")", REG_MULTI_SZ, u"\0\0"s, ""},
      {"dword:ffffffff", REG_DWORD, u"", "\xFF\xFF\xFF\xFF"s},
      {"dword:0000000a", REG_DWORD, u"", "\x0A\0\0\0"s},
      {"dword:A", REG_DWORD, u"", "\x0A\0\0\0"s},
      {"hex:00,0a,ff", REG_BINARY, u"", "\x00\x0A\xFF"s},
      {"hex:", REG_BINARY, u"", ""},
      {"hex:00,01,\\\n  02,03,\\\n  04", REG_BINARY, u"", "\x00\x01\x02\x03\x04"s},
      {"hex(5):00,00,00,01", REG_DWORD_BIG_ENDIAN, u"", "\x00\x00\x00\x01"s},
      {"hex(b):01,00,00,00,00,00,00,80", REG_QWORD, u"", "\x01\0\0\0\0\0\0\x80"s},
      {"hex(0):", REG_NONE, u"", ""},
      {"hex(6):5c,00,41,00", REG_LINK, u"", "\x5C\x00\x41\x00"s},
      {"hex(100000):01", 0x100000, u"", "\x01"s},
      {"hex(2):25,00,41,00,25,00,00,00", REG_EXPAND_SZ, u"%A%\0"s, ""},
      {"hex(7):61,00,00,00,62,00,00,\\\n  00,00,00", REG_MULTI_SZ, u"a\0b\0\0"s, ""},
      {"hex(1):61,00", REG_SZ, u"a", ""},
      {"hex(1):", REG_SZ, u"", ""},
      {"hex(1):89,5b,c5,88,00,00", REG_SZ, u"安装\0"s, ""},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    const Loaded loaded = LoadText(prefix, RegText({"["s + kKey + "] 1700000000", "\"v\"=" + c.data}));
    EXPECT_EQ(loaded.diagnostics, "") << c.data;
    const std::vector<RegistryValue> values = loaded.Values();
    ASSERT_EQ(values.size(), 1u) << c.data;
    EXPECT_EQ(values[0].name, u"v");
    EXPECT_EQ(values[0].type, c.type) << c.data;
    EXPECT_EQ(values[0].text, c.text) << c.data;
    EXPECT_EQ(values[0].bytes, c.bytes) << c.data;
  }
}

TEST(WineRegistryFileTest, ResolvesEscapesAndRawUtf8) {
  struct Case { std::string data; std::u16string text; };
  const Case cases[] = {
      {R"("q\"\\z")", u"q\"\\z\0"s},
      {R"("\n\r\t\a\b\e\f\v")", u"\n\r\t\a\b\x1b\f\v\0"s},
      {R"("a\0b")", u"a\0b\0"s},
      {R"("\101\0013")", u"A\x01" u"3\0"s},  // octal takes at most three digits
      {R"("\x5b89\x88c5")", u"安装\0"s},
      {R"("\x4e2dabc")", u"中abc\0"s},  // \x takes at most four digits
      {R"("\xe9t\xe9")", u"été\0"s},
      {"\"C:\\\\程序\\\\\"", u"C:\\程序\\\0"s},
      {R"("\[x\]")", u"[x]\0"s},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    const Loaded loaded = LoadText(prefix, RegText({"["s + kKey + "] 1", "\"v\"=" + c.data}));
    EXPECT_EQ(loaded.diagnostics, "") << c.data;
    ASSERT_EQ(loaded.Values().size(), 1u) << c.data;
    EXPECT_EQ(loaded.Values()[0].text, c.text) << c.data;
  }
}

TEST(WineRegistryFileTest, ReadsValueNames) {
  struct Case { std::string line; std::u16string name; };
  const Case cases[] = {
      {R"(@="x")", u""},
      {R"("Path"="x")", u"Path"},
      {R"("安装目录"="x")", u"安装目录"},
      {R"("\x5b89\x88c5"="x")", u"安装"},
      {R"("a\"b"="x")", u"a\"b"},
      {R"("@"="x")", u"@"},
      {R"(  	"lead"="x")", u"lead"},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    const Loaded loaded = LoadText(prefix, RegText({"["s + kKey + "] 1", c.line}));
    EXPECT_EQ(loaded.diagnostics, "") << c.line;
    ASSERT_EQ(loaded.Values().size(), 1u) << c.line;
    EXPECT_EQ(loaded.Values()[0].name, c.name) << c.line;
  }
}

TEST(WineRegistryFileTest, KeepsFileOrderAndSkipsCommentsAndOptions) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, RegText({
      ";; All keys relative to \\\\Machine", "", "#arch=win32", "",
      "[Software\\\\Other] 1", "\"o\"=\"1\"", "",
      "["s + kKey + "] 1700000000", "#time=1d9a0b0c0d0e0f0", "#class=\"x\"",
      "\"Path\"=\"C:\\\\Brevak\\\\\"", "; a comment", "@=\"C:\\\\Brevak\\\\Brevak.exe\"",
      "\"z\"=dword:00000001", "\"a\"=dword:00000002"}));
  EXPECT_EQ(loaded.diagnostics, "");
  const std::vector<RegistryValue> values = loaded.Values();
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0].name, u"Path");
  EXPECT_EQ(values[1].name, u"");
  EXPECT_EQ(values[2].name, u"z");
  EXPECT_EQ(values[3].name, u"a");
}

TEST(WineRegistryFileTest, ARepeatedValueTakesTheNewDataWhereItStands) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, RegText({
      "[Software\\\\K] 1", "\"Path\"=\"old\"", "\"b\"=\"2\"",
      "[software\\\\k] 2", "\"PATH\"=dword:00000007", "\"c\"=\"3\""}));
  const std::vector<RegistryValue> values = loaded.Values(u"Software\\K");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].name, u"Path");
  EXPECT_EQ(values[0].type, REG_DWORD);
  EXPECT_EQ(values[0].bytes, "\x07\0\0\0"s);
  EXPECT_EQ(values[1].name, u"b");
  EXPECT_EQ(values[2].name, u"c");
}

TEST(WineRegistryFileTest, FindsKeysIgnoringCaseAndKnowsTheKeysAboveThem) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, RegText({
      "["s + kKey + "] 1", "@=\"x\"", "[Software\\\\Empty] 1", "[Software\\\\a\\]b] 1", "\"v\"=\"y\""}));
  struct Case { std::u16string path; std::optional<size_t> values; };
  const Case cases[] = {
      {kKeyPath, 1},
      {u"SOFTWARE\\microsoft\\WINDOWS\\currentversion\\app paths\\brevak.EXE", 1},
      {u"Software\\Microsoft\\Windows", 0},
      {u"Software", 0},
      {u"", 0},
      {u"Software\\Empty", 0},
      {u"Software\\a]b", 1},
      {u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Other.exe", std::nullopt},
      {u"Software\\Microsoft\\Win", std::nullopt},
      {u"Software\\Empty\\Below", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto values = loaded.file->FindKey(c.path);
    ASSERT_EQ(values.has_value(), c.values.has_value()) << fs::path(c.path).string();
    if (values) {
      EXPECT_EQ(values->size(), *c.values) << fs::path(c.path).string();
    }
  }
}

// Lines as Wine itself writes them (wineboot of a fresh 64-bit prefix).
TEST(WineRegistryFileTest, ReadsWhatWineWrites) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, R"(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\Machine

#arch=win64

[Software\\Classes\\Wow6432Node\\AppId] 1796793129
#time=1dd879bd76a0e4e
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\
  74,00,77,00,61,00,72,00,65,00,5c,00,43,00,6c,00,61,00,73,00,73,00,65,00,73,\
  00,5c,00,41,00,70,00,70,00,49,00,64,00

[System\\CurrentControlSet\\Enum\\ROOT\\WINE\\WINEBUS] 1796793177
"ConfigFlags"=dword:00000000
"Driver"="{4D36E97D-E325-11CE-BFC1-08002BE10318}\\0000"
"HardwareId"=hex(7):72,00,6f,00,6f,00,74,00,5c,00,77,00,69,00,6e,00,65,00,62,\
  00,75,00,73,00,00,00,00,00
"Service"="winebus"
)");
  EXPECT_EQ(loaded.diagnostics, "");
  const std::vector<RegistryValue> link = loaded.Values(u"Software\\Classes\\Wow6432Node\\AppId");
  ASSERT_EQ(link.size(), 1u);
  EXPECT_EQ(link[0].type, REG_LINK);
  const std::u16string target = u"\\Registry\\Machine\\Software\\Classes\\AppId";
  EXPECT_EQ(link[0].bytes, std::string(reinterpret_cast<const char*>(target.data()), target.size() * 2));
  const std::vector<RegistryValue> bus = loaded.Values(u"System\\CurrentControlSet\\Enum\\ROOT\\WINE\\WINEBUS");
  ASSERT_EQ(bus.size(), 4u);
  EXPECT_EQ(bus[1].text, u"{4D36E97D-E325-11CE-BFC1-08002BE10318}\\0000\0"s);
  EXPECT_EQ(bus[2].type, REG_MULTI_SZ);
  EXPECT_EQ(bus[2].text, u"root\\winebus\0\0"s);
  EXPECT_EQ(bus[3].name, u"Service");
}

TEST(WineRegistryFileTest, ReadsWindowsLineEnds) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, "WINE REGISTRY Version 2\r\n[K] 1\r\n\"v\"=hex:01,\\\r\n  02\r\n@=\"x\"\r\n");
  EXPECT_EQ(loaded.diagnostics, "");
  const std::vector<RegistryValue> values = loaded.Values(u"K");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].bytes, "\x01\x02");
  EXPECT_EQ(values[1].text, u"x\0"s);
}

// Each broken line is reported once with its file and line, left out, and
// the values before and after it are read.
TEST(WineRegistryFileTest, ReportsAndLeavesOutBrokenValues) {
  struct Case { std::string bad; int line; };
  const Case cases[] = {
      {R"("bad"="a\qb")", 4},
      {R"("bad"="\xg")", 4},
      {R"("bad"="abc\)", 4},
      {R"("bad"="abc)", 4},
      {R"("bad"="abc" x)", 4},
      {R"("bad"=hex:00,0)", 4},
      {R"("bad"=hex:00,01,)", 4},
      {R"("bad"=hex:00,001)", 4},
      {R"("bad"=hex:00 01)", 4},
      {"\"bad\"=hex:00,01,\\\n", 5},
      {"\"bad\"=hex:00,zz,\\\n  01,02", 4},
      {"\"bad\"=hex:00,01,\\\n  01,0g,\\\n  03", 5},
      {R"("bad"=hex(zz):00)", 4},
      {R"("bad"=hex(1:00)", 4},
      {R"("bad"=hex(1):61)", 4},
      {R"("bad"=word:1)", 4},
      {R"("bad"=str(3):"x")", 4},
      {R"("bad"=dword:123456789)", 4},
      {R"("bad"=dword:)", 4},
      {R"("bad"=dword:xyz)", 4},
      {R"("bad" "x")", 4},
      {R"("bad"=)", 4},
      {"\"bad\"=\"\xFF\"", 4},
      {"\"b\xC3\"=\"x\"", 4},
      {"garbage", 4},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    const Loaded loaded = LoadText(prefix, RegText({"[K] 1", "\"before\"=\"1\"", c.bad, "\"after\"=\"2\""}));
    const std::vector<std::string> lines = DiagnosticLines(loaded.diagnostics);
    ASSERT_EQ(lines.size(), 1u) << c.bad << "\n" << loaded.diagnostics;
    const std::string where = (prefix.root() / "system.reg").string() + ":" + std::to_string(c.line) + ": ";
    EXPECT_EQ(lines[0].rfind(where, 0), 0u) << lines[0];
    const std::vector<RegistryValue> values = loaded.Values(u"K");
    ASSERT_EQ(values.size(), 2u) << c.bad;
    EXPECT_EQ(values[0].name, u"before");
    EXPECT_EQ(values[1].name, u"after");
  }
}

TEST(WineRegistryFileTest, ReportsAHexValueCutOffByTheEndOfTheFile) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, "WINE REGISTRY Version 2\n[K] 1\n\"a\"=\"1\"\n\"bad\"=hex:00,\\");
  EXPECT_EQ(loaded.diagnostics, (prefix.root() / "system.reg").string() +
                                    ":4: truncated hex data: the file ends after \\; line left out\n");
  ASSERT_EQ(loaded.Values(u"K").size(), 1u);
}

TEST(WineRegistryFileTest, ReportsABrokenKeyLineOnceAndLeavesOutItsValues) {
  struct Case { std::string key_line; };
  const Case cases[] = {{R"([Software\\B\qd] 1)"}, {R"([Software\\Bad 1)"}, {R"([Software\\\\Bad] 1)"},
                        {R"([\\Software] 1)"}, {R"([Software\\Bad] 1 x)"}, {"[Software\\\\B\xFF] 1"}};
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    const Loaded loaded = LoadText(prefix, RegText({c.key_line, "\"a\"=\"1\"", "\"b\"=\"2\"", "[K] 1", "\"c\"=\"3\""}));
    const std::vector<std::string> lines = DiagnosticLines(loaded.diagnostics);
    ASSERT_EQ(lines.size(), 1u) << c.key_line << "\n" << loaded.diagnostics;
    EXPECT_EQ(lines[0].rfind((prefix.root() / "system.reg").string() + ":2: ", 0), 0u) << lines[0];
    EXPECT_EQ(loaded.Values(u"K").size(), 1u);
  }
}

TEST(WineRegistryFileTest, ReportsAValueOutsideAnyKey) {
  testing::TempPrefix prefix;
  const Loaded loaded = LoadText(prefix, RegText({"#arch=win32", "\"a\"=\"1\"", "[K] 1", "\"b\"=\"2\""}));
  EXPECT_EQ(DiagnosticLines(loaded.diagnostics).size(), 1u);
  EXPECT_NE(loaded.diagnostics.find("system.reg:3: "), std::string::npos) << loaded.diagnostics;
  EXPECT_EQ(loaded.Values(u"K").size(), 1u);
}

TEST(WineRegistryFileTest, RefusesAFileItCannotReadWhole) {
  struct Case { std::string name; std::string content; bool directory; std::string where; };
  const Case cases[] = {
      {"missing", "", false, "system.reg: cannot be read"},
      {"directory", "", true, "system.reg: cannot be read"},
      {"empty", "", false, "system.reg:1: "},
      {"other header", "REGEDIT4\n[K]\n", false, "system.reg:1: "},
      {"old header", "WINE REGISTRY Version 1\n[K]\n", false, "system.reg:1: "},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    if (c.directory) fs::create_directory(prefix.root() / "system.reg");
    if (c.name != "missing" && !c.directory) prefix.WriteSystemReg(c.content);
    std::ostringstream diagnostics;
    EXPECT_FALSE(WineRegistryFile::Load(prefix.root() / "system.reg", diagnostics)) << c.name;
    const std::vector<std::string> lines = DiagnosticLines(diagnostics.str());
    ASSERT_EQ(lines.size(), 1u) << c.name;
    EXPECT_EQ(lines[0].rfind((prefix.root() / c.where).string(), 0), 0u) << lines[0];
  }
}

TEST(WineRegistryFileTest, RefusesAnUnreadableFile) {
  testing::TempPrefix prefix;
  prefix.WriteSystemReg(RegText({"[K] 1"}));
  fs::permissions(prefix.root() / "system.reg", fs::perms::none);
  const int refused = testing::RunUnprivileged([&] {
    std::ostringstream diagnostics;
    const bool loaded = WineRegistryFile::Load(prefix.root() / "system.reg", diagnostics).has_value();
    const bool said = diagnostics.str().find("cannot be read: Permission denied") != std::string::npos;
    return !loaded && said ? 1 : 0;
  });
  EXPECT_EQ(refused, 1);
}

}  // namespace
}  // namespace brevak::posix
