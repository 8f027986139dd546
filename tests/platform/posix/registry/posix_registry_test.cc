#include "platform/posix/registry/posix_registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "platform/posix/text/iconv_code_page.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
using namespace std::string_literals;

constexpr char kKey[] = R"(Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe)";
constexpr char kKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe";

// A prefix with a registry, as the tool sees it.
class Machine {
 public:
  explicit Machine(const std::string& value_lines) { prefix_.WriteSystemReg(Reg(value_lines)); }
  Machine() = default;

  static std::string Reg(const std::string& value_lines) {
    return testing::TempPrefix::SystemRegWithKey(kKey, value_lines);
  }
  const testing::TempPrefix& prefix() const { return prefix_; }
  PosixRegistry& registry() { return registry_; }
  std::string diagnostics() const { return diagnostics_.str(); }

  HKEY Open(const std::string& path = kKeyPath) {
    HKEY key = 0;
    EXPECT_EQ(registry_.RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS) << path;
    EXPECT_NE(key, 0u);
    return key;
  }

 private:
  testing::TempPrefix prefix_;
  IconvCodePage code_page_;
  std::ostringstream diagnostics_;
  PosixRegistry registry_{WinePrefix(prefix_.root()), code_page_, diagnostics_};
};

// What a data buffer holds before a read.
constexpr char kFill = '~';

// The outcome of one RegEnumValueA.
struct Read {
  int32_t status = -1;
  std::string name;  // the name buffer up to its first NUL
  uint32_t name_size = 0;
  uint32_t type = 0xDEAD;
  std::string data;  // the data buffer, whole
  uint32_t data_size = 0;
};

// The first read of the listing: a 257-byte name buffer announced as 256
// bytes, no data buffer. With `data_capacity`, a data buffer of that size.
Read Enum(Registry& registry, HKEY key, uint32_t index, uint32_t name_capacity = 256,
          std::optional<uint32_t> data_capacity = std::nullopt) {
  Read read;
  std::string name(name_capacity + 1, '\0');
  std::string data(data_capacity.value_or(0), kFill);
  read.name_size = name_capacity;
  read.data_size = data_capacity.value_or(0);
  read.status = registry.RegEnumValueA(key, index, name.data(), &read.name_size, nullptr, &read.type,
                                       data_capacity ? reinterpret_cast<uint8_t*>(data.data()) : nullptr,
                                       &read.data_size);
  read.name = name.c_str();
  read.data = data;
  return read;
}

TEST(PosixRegistryTest, OpensKeysOfTheMachineOnly) {
  struct Case { std::string file; HKEY root; std::string path; int32_t status; };
  const std::string reg = Machine::Reg("@=\"x\"");
  const Case cases[] = {
      {reg, HKEY_LOCAL_MACHINE, kKeyPath, ERROR_SUCCESS},
      {reg, HKEY_LOCAL_MACHINE, "software\\MICROSOFT\\windows\\CurrentVersion\\APP PATHS\\brevak.exe", ERROR_SUCCESS},
      {reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft", ERROR_SUCCESS},
      {reg, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Other.exe", ERROR_FILE_NOT_FOUND},
      {reg, 0x80000001u, kKeyPath, ERROR_FILE_NOT_FOUND},  // HKEY_CURRENT_USER
      {reg, 0x80000000u, kKeyPath, ERROR_FILE_NOT_FOUND},  // HKEY_CLASSES_ROOT
      {"", HKEY_LOCAL_MACHINE, kKeyPath, ERROR_FILE_NOT_FOUND},
      {"REGEDIT4\n", HKEY_LOCAL_MACHINE, kKeyPath, ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    Machine machine;
    if (!c.file.empty()) machine.prefix().WriteSystemReg(c.file);
    HKEY key = 0;
    EXPECT_EQ(machine.registry().RegOpenKeyA(c.root, c.path, &key), c.status) << c.path;
    EXPECT_EQ(key != 0, c.status == ERROR_SUCCESS) << c.path;
  }
}

TEST(PosixRegistryTest, ReportsAMissingFileOnce) {
  Machine machine;
  HKEY key = 0;
  EXPECT_EQ(machine.registry().RegOpenKeyA(HKEY_LOCAL_MACHINE, kKeyPath, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(machine.diagnostics(), (machine.prefix().root() / "system.reg").string() +
                                       ": cannot be read: No such file or directory\n");
}

TEST(PosixRegistryTest, OpensKeysBelowAnOpenKey) {
  Machine machine("@=\"x\"");
  const HKEY software = machine.Open("Software\\Microsoft");
  HKEY key = 0;
  ASSERT_EQ(machine.registry().RegOpenKeyA(software, "Windows\\CurrentVersion\\App Paths\\Brevak.exe", &key),
            ERROR_SUCCESS);
  EXPECT_EQ(Enum(machine.registry(), key, 0).status, ERROR_SUCCESS);
  EXPECT_EQ(Enum(machine.registry(), software, 0).status, ERROR_NO_MORE_ITEMS);
}

// Each value read as the listing reads it: a first read for the type, the
// name length and the data size, then a second read with exact buffers.
TEST(PosixRegistryTest, ReadsEveryTypeWithSizesInGbkBytes) {
  struct Case { std::string line; uint32_t type; std::string name; std::string data; };
  const Case cases[] = {
      {R"(@="C:\\Program Files\\Brevak\\Brevak.exe")", REG_SZ, "", "C:\\Program Files\\Brevak\\Brevak.exe\0"s},
      {R"("Path"="C:\\Program Files\\Brevak\\")", REG_SZ, "Path", "C:\\Program Files\\Brevak\\\0"s},
      {R"("安装目录"="C:\\程序\\")", REG_SZ, "\xB0\xB2\xD7\xB0\xC4\xBF\xC2\xBC", "C:\\\xB3\xCC\xD0\xF2\\\0"s},
      {R"("e"=str(2):"%SystemRoot%\\x")", REG_EXPAND_SZ, "e", "%SystemRoot%\\x\0"s},
      {R"("m"=str(7):"a\0b\0")", REG_MULTI_SZ, "m", "a\0b\0\0"s},
      {R"("m2"=str(7):"目录\0\0\0")", REG_MULTI_SZ, "m2", "\xC4\xBF\xC2\xBC\0\0\0\0"s},
      {R"("m3"=str(7):"\0")", REG_MULTI_SZ, "m3", "\0\0"s},
      {R"("empty"="")", REG_SZ, "empty", "\0"s},
      {R"("nonul"=hex(1):61,00,62,00)", REG_SZ, "nonul", "ab"},
      {R"("zero"=hex(1):)", REG_SZ, "zero", ""},
      {R"("n"=dword:ffffffff)", REG_DWORD, "n", "\xFF\xFF\xFF\xFF"s},
      {R"("b"=hex(5):00,00,00,01)", REG_DWORD_BIG_ENDIAN, "b", "\0\0\0\x01"s},
      {R"("v"=hex:00,0a,ff)", REG_BINARY, "v", "\x00\x0A\xFF"s},
      {R"("z"=hex:)", REG_BINARY, "z", ""},
      {R"("q"=hex(b):01,00,00,00,00,00,00,00)", REG_QWORD, "q", "\x01\0\0\0\0\0\0\0"s},
      {R"("l"=hex(6):5c,00)", REG_LINK, "l", "\x5C\0"s},
      {R"("none"=hex(0):)", REG_NONE, "none", ""},
  };
  for (const Case& c : cases) {
    Machine machine(c.line);
    const HKEY key = machine.Open();
    const Read first = Enum(machine.registry(), key, 0);
    EXPECT_EQ(first.status, ERROR_SUCCESS) << c.line;
    EXPECT_EQ(first.type, c.type) << c.line;
    EXPECT_EQ(first.name, c.name) << c.line;
    EXPECT_EQ(first.name_size, c.name.size()) << c.line;
    EXPECT_EQ(first.data_size, c.data.size()) << c.line;
    const Read second = Enum(machine.registry(), key, 0, first.name_size + 1, first.data_size);
    EXPECT_EQ(second.status, ERROR_SUCCESS) << c.line;
    EXPECT_EQ(second.name, c.name) << c.line;
    EXPECT_EQ(second.name_size, c.name.size()) << c.line;
    EXPECT_EQ(second.data, c.data) << c.line;
    EXPECT_EQ(machine.diagnostics(), "");
  }
}

TEST(PosixRegistryTest, EnumeratesInFileOrderUntilNoMoreItems) {
  Machine machine("@=\"C:\\\\Brevak\\\\Brevak.exe\"\n\"Path\"=\"C:\\\\Brevak\\\\\"\n\"n\"=dword:00000001");
  const HKEY key = machine.Open();
  const std::string names[] = {"", "Path", "n"};
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(Enum(machine.registry(), key, i).name, names[i]);
  EXPECT_EQ(Enum(machine.registry(), key, 3).status, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(Enum(machine.registry(), key, 70000).status, ERROR_NO_MORE_ITEMS);
}

TEST(PosixRegistryTest, AKeyWithoutValuesHasNoItems) {
  Machine machine("");
  EXPECT_EQ(Enum(machine.registry(), machine.Open(), 0).status, ERROR_NO_MORE_ITEMS);
}

TEST(PosixRegistryTest, ANameMustFitWithItsNul) {
  struct Case { std::string name_in_file; size_t gbk_length; int32_t status; };
  const Case cases[] = {
      {std::string(255, 'n'), 255, ERROR_SUCCESS},
      {std::string(256, 'n'), 256, ERROR_MORE_DATA},
      {std::string(300, 'n'), 300, ERROR_MORE_DATA},
      {[] { std::string s; for (int i = 0; i < 127; ++i) s += "录"; return s; }(), 254, ERROR_SUCCESS},
      {[] { std::string s; for (int i = 0; i < 128; ++i) s += "录"; return s; }(), 256, ERROR_MORE_DATA},
  };
  for (const Case& c : cases) {
    Machine machine("\"" + c.name_in_file + "\"=\"x\"\n\"after\"=\"y\"");
    const HKEY key = machine.Open();
    const Read first = Enum(machine.registry(), key, 0);
    EXPECT_EQ(first.status, c.status) << c.gbk_length;
    EXPECT_EQ(first.name_size, c.status == ERROR_SUCCESS ? c.gbk_length : 256u);
    EXPECT_LE(first.name.size(), 255u);
    EXPECT_EQ(first.type, REG_SZ);  // still reported
    EXPECT_EQ(first.data_size, 2u);
    EXPECT_EQ(Enum(machine.registry(), key, 1).name, "after");
  }
}

TEST(PosixRegistryTest, DataThatDoesNotFitIsNotWritten) {
  struct Case { std::string line; uint32_t capacity; int32_t status; std::string data; };
  const Case cases[] = {
      {R"("s"="目录")", 4, ERROR_MORE_DATA, "~~~~"},  // five bytes with the NUL
      {R"("s"="目录")", 5, ERROR_SUCCESS, "\xC4\xBF\xC2\xBC\0"s},
      {R"("s"="目录")", 8, ERROR_SUCCESS, "\xC4\xBF\xC2\xBC\0~~~"s},
      {R"("s"=hex(1):61,00)", 3, ERROR_SUCCESS, "a\0~"s},  // a text without NUL gets one when it fits
      {R"("s"=hex(1):61,00)", 1, ERROR_SUCCESS, "a"},
      {R"("v"=hex:01,02,03)", 2, ERROR_MORE_DATA, "~~"},
      {R"("v"=hex:01,02,03)", 4, ERROR_SUCCESS, "\x01\x02\x03~"},
      {R"("d"=dword:00000001)", 4, ERROR_SUCCESS, "\x01\0\0\0"s},
  };
  for (const Case& c : cases) {
    Machine machine(c.line);
    const Read read = Enum(machine.registry(), machine.Open(), 0, 256, c.capacity);
    EXPECT_EQ(read.status, c.status) << c.line << " in " << c.capacity;
    EXPECT_EQ(read.data, c.data) << c.line << " in " << c.capacity;
    if (c.status == ERROR_MORE_DATA) {
      EXPECT_EQ(read.name, "") << "no name when the data does not fit";
    }
  }
}

TEST(PosixRegistryTest, ListsTheReadableValuesAroundBrokenOnes) {
  Machine machine("\"a\"=\"1\"\n\"bad\"=\"x\\q\"\n\"b\"=hex:00,0\n\"c\"=\"3\"");
  const HKEY key = machine.Open();
  EXPECT_EQ(Enum(machine.registry(), key, 0).name, "a");
  EXPECT_EQ(Enum(machine.registry(), key, 1).name, "c");
  EXPECT_EQ(Enum(machine.registry(), key, 2).status, ERROR_NO_MORE_ITEMS);
  const std::string file = (machine.prefix().root() / "system.reg").string();
  const std::string diagnostics = machine.diagnostics();
  EXPECT_EQ(std::count(diagnostics.begin(), diagnostics.end(), '\n'), 2);
  EXPECT_NE(diagnostics.find(file + ":9: "), std::string::npos) << diagnostics;
  EXPECT_NE(diagnostics.find(file + ":10: "), std::string::npos) << diagnostics;
}

TEST(PosixRegistryTest, AnOpenKeyKeepsTheValuesItWasOpenedWith) {
  Machine machine("\"a\"=\"1\"");
  const HKEY key = machine.Open();
  machine.prefix().WriteSystemReg(Machine::Reg("\"b\"=\"2\"\n\"c\"=\"3\""));
  EXPECT_EQ(Enum(machine.registry(), key, 0).name, "a");
  EXPECT_EQ(Enum(machine.registry(), key, 1).status, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(Enum(machine.registry(), machine.Open(), 1).name, "c");
}

TEST(PosixRegistryTest, ClosedKeysAreGone) {
  Machine machine("\"a\"=\"1\"");
  const HKEY first = machine.Open();
  const HKEY second = machine.Open();
  EXPECT_NE(first, second);
  EXPECT_EQ(machine.registry().RegCloseKey(first), ERROR_SUCCESS);
  EXPECT_NE(machine.registry().RegCloseKey(first), ERROR_SUCCESS);
  EXPECT_NE(Enum(machine.registry(), first, 0).status, ERROR_SUCCESS);
  EXPECT_EQ(Enum(machine.registry(), second, 0).status, ERROR_SUCCESS);
}

TEST(PosixRegistryTest, RefusesAReservedArgument) {
  Machine machine("\"a\"=\"1\"");
  char name[8] = {};
  uint32_t name_size = sizeof name;
  uint32_t reserved = 0;
  EXPECT_NE(machine.registry().RegEnumValueA(machine.Open(), 0, name, &name_size, &reserved, nullptr,
                                             nullptr, nullptr),
            ERROR_SUCCESS);
}

// Environment variables of the tests, set for the whole test binary.
class PosixRegistryExpandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("BREVAK_TEST_ROOT", "C:\\windows", 1);
    setenv("BREVAK_TEST_CN", "C:\\程序", 1);
    setenv("BREVAK_TEST_DUP", "upper", 1);
    setenv("BREVAK_TEST_Dup", "mixed", 1);
    setenv("BREVAK_TEST_EMPTY", "", 1);
    unsetenv("BREVAK_TEST_UNSET");
  }
  void TearDown() override {
    for (const char* name : {"BREVAK_TEST_ROOT", "BREVAK_TEST_CN", "BREVAK_TEST_DUP", "BREVAK_TEST_Dup",
                             "BREVAK_TEST_EMPTY"}) {
      unsetenv(name);
    }
  }
  Machine machine_;
};

TEST_F(PosixRegistryExpandTest, ReplacesKnownReferencesAndKeepsTheRest) {
  struct Case { std::string source; std::string expanded; };
  const Case cases[] = {
      {"%BREVAK_TEST_ROOT%\\x", "C:\\windows\\x"},
      {"%brevak_test_root%\\x", "C:\\windows\\x"},
      {"%BREVAK_TEST_DUP%|%BREVAK_TEST_Dup%", "upper|mixed"},
      {"%BREVAK_TEST_CN%\\a", "C:\\\xB3\xCC\xD0\xF2\\a"},
      {"\xC4\xBF\xC2\xBC%BREVAK_TEST_ROOT%", "\xC4\xBF\xC2\xBC" "C:\\windows"},
      {"[%BREVAK_TEST_EMPTY%]", "[]"},
      {"%BREVAK_TEST_UNSET%\\x", "%BREVAK_TEST_UNSET%\\x"},
      {"%BREVAK_TEST_UNSET%BREVAK_TEST_ROOT%", "%BREVAK_TEST_UNSET%BREVAK_TEST_ROOT%"},
      {"%BREVAK_TEST_UNSET%%BREVAK_TEST_ROOT%", "%BREVAK_TEST_UNSET%C:\\windows"},
      {"100%", "100%"},
      {"%", "%"},
      {"%%", "%%"},
      {"a%BREVAK_TEST_ROOT", "a%BREVAK_TEST_ROOT"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string destination(c.expanded.size() + 300, 'X');
    const uint32_t needed = machine_.registry().ExpandEnvironmentStringsA(
        c.source.c_str(), destination.data(), static_cast<uint32_t>(destination.size()));
    EXPECT_EQ(needed, c.expanded.size() + 1) << c.source;
    EXPECT_EQ(destination.substr(0, c.expanded.size() + 1), c.expanded + '\0') << c.source;
  }
}

TEST_F(PosixRegistryExpandTest, ReadsTheSourceUpToItsFirstNul) {
  const std::string source = "%BREVAK_TEST_ROOT%\0%BREVAK_TEST_CN%"s;
  char destination[64];
  EXPECT_EQ(machine_.registry().ExpandEnvironmentStringsA(source.data(), destination, sizeof destination), 11u);
  EXPECT_STREQ(destination, "C:\\windows");
}

TEST_F(PosixRegistryExpandTest, CutsTheResultToTheDestination) {
  struct Case { std::string source; uint32_t size; std::string written; uint32_t needed; };
  const Case cases[] = {
      {"%BREVAK_TEST_ROOT%\\x", 5, "C:\\w\0"s, 13},
      {"%BREVAK_TEST_ROOT%\\x", 13, "C:\\windows\\x\0"s, 13},
      {"%BREVAK_TEST_ROOT%\\x", 12, "C:\\windows\\\0"s, 13},
      {"%BREVAK_TEST_ROOT%\\x", 1, "\0"s, 13},
      {"%BREVAK_TEST_ROOT%\\x", 0, "", 13},
      {"%BREVAK_TEST_CN%", 6, "C:\\\xB3\xCC\0"s, 8},
      {"%BREVAK_TEST_CN%", 5, "C:\\\0"s, 8},  // never half a double-byte character
  };
  for (const Case& c : cases) {
    std::string destination(64, 'X');
    EXPECT_EQ(machine_.registry().ExpandEnvironmentStringsA(c.source.c_str(), destination.data(), c.size),
              c.needed) << c.size;
    EXPECT_EQ(destination.substr(0, c.written.size()), c.written) << c.size;
    EXPECT_EQ(destination.substr(c.size), std::string(64 - c.size, 'X')) << "written beyond " << c.size;
  }
}

// The sub-keys of a key, each as the file first spells it, in the order of
// their names without regard to case; keys further below are no sub-keys;
// a name must fit with its NUL.
TEST(PosixRegistryTest, EnumeratesSubKeysByNameWithTheirSpelling) {
  const std::string list = R"(Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList)";
  Machine machine;
  machine.prefix().WriteSystemReg(
      testing::TempPrefix::SystemRegWithKey(list + R"(\\S-1-5-21-9-1001)", "\"a\"=\"1\"") + "[" + list +
      R"(\\s-1-5-18] 1700000000)" "\n\n[" + list + R"(\\S-1-5-21-9-1000\\Deeper] 1700000000)" "\n\n[" + list +
      R"(\\店主] 1700000000)" "\n\n[" + list + R"(\\S-1-5-21-9-1001] 1700000000)" "\n\"b\"=\"2\"\n");
  const HKEY key = machine.Open("Software\\Microsoft\\Windows NT\\CurrentVersion\\PROFILELIST");
  struct Case { uint32_t index; uint32_t size; int32_t status; std::string name; };
  const Case cases[] = {
      {0, 256, ERROR_SUCCESS, "s-1-5-18"},         {1, 256, ERROR_SUCCESS, "S-1-5-21-9-1000"},
      {2, 256, ERROR_SUCCESS, "S-1-5-21-9-1001"},  {3, 256, ERROR_SUCCESS, "\xB5\xEA\xD6\xF7"},  // 店主 in GBK
      {4, 256, ERROR_NO_MORE_ITEMS, ""},           {1, 15, ERROR_MORE_DATA, ""},
      {1, 16, ERROR_SUCCESS, "S-1-5-21-9-1000"},
  };
  for (const Case& c : cases) {
    std::string name(c.size, '\0');
    EXPECT_EQ(machine.registry().RegEnumKeyA(key, c.index, name.data(), c.size), c.status) << c.index;
    EXPECT_EQ(std::string(name.c_str()), c.name) << c.index;
  }
  EXPECT_EQ(machine.registry().RegEnumKeyA(machine.Open("Software"), 1, nullptr, 0), ERROR_INVALID_PARAMETER);
  char name[8] = {};
  EXPECT_NE(machine.registry().RegEnumKeyA(0x1234, 0, name, sizeof name), ERROR_SUCCESS);  // no such key
}

}  // namespace
}  // namespace brevak::posix
