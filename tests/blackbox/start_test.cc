// Start-up from outside: the prompt, the window's first state, and the
// failures of loading, on a real prefix with the built tool.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <regex>

#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

// A registry file the stand-in cannot read whole: it reports the broken
// line on standard error whenever it reads the file.
constexpr char kBrokenValue[] = "\"Broken\"=hex:0g,zz";

void BreakRegistry(const ShopMachine& machine) {
  machine.prefix().WriteSystemReg(TempPrefix::SystemRegWithKey(
      "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe",
      "@=\"C:\\\\Program Files\\\\Brevak\\\\Brevak.exe\"\n" + std::string(kBrokenValue)));
  fs::remove(machine.install() / "Addr.mdb");
}

TEST(StartTest, NoEndsAtOnceWithoutReadingTheRegistryOrOpeningADatabase) {
  ShopMachine machine;
  BreakRegistry(machine);
  const TreeSnapshot before = SnapshotTree(machine.prefix().root());

  const ToolRun run = machine.Run("no\n");

  EXPECT_EQ(run.transcript, (std::vector<std::string>{StartPromptLine(), "answer no", "exit 0"}))
      << run.Describe();
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.stderr_text, "");
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.prefix().root())), "");
}

// The same machine answered Yes: the broken registry is reported and the
// missing address book ends the program, so the quiet No above means that
// neither was touched.
TEST(StartTest, YesOnTheSameMachineReadsTheRegistryAndOpensTheAddressBook) {
  ShopMachine machine;
  BreakRegistry(machine);

  const ToolRun run = machine.Run("yes\n");

  EXPECT_NE(run.stderr_text.find("system.reg"), std::string::npos) << run.Describe();
  EXPECT_EQ(run.LinesStartingWith("error ").size(), 1u) << run.Describe();
  EXPECT_NE(run.exit_code, 0);
}

struct WindowEnding {
  const char* name;
  const char* script;
};

void PrintTo(const WindowEnding& c, std::ostream* os) { *os << c.name; }

class OpenAndCloseTest : public ::testing::TestWithParam<WindowEnding> {};

// The window opens with the bar hidden, the list empty and the restore
// button's caption as laid out: none of them is set, so nothing is
// written; closing shows no message.
TEST_P(OpenAndCloseTest, TheWindowShowsAndClosesWithoutAnythingElse) {
  ShopMachine machine;
  const ToolRun run = machine.Run(std::string("yes\n") + GetParam().script);

  EXPECT_EQ(run.transcript, (std::vector<std::string>{StartPromptLine(), "answer yes", "window shown",
                                                       "window closed", "exit 0"}))
      << run.Describe();
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.stderr_text, "");
}

INSTANTIATE_TEST_SUITE_P(Endings, OpenAndCloseTest,
                         ::testing::Values(WindowEnding{"CloseButton", "click CmdClose\n"},
                                           WindowEnding{"TitleBar", "close\n"},
                                           WindowEnding{"EndOfScript", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MissingAddressBook {
  const char* name;
  const char* install_dir;
  const char* shown_path;  // as the error names it, backslashes escaped
};

void PrintTo(const MissingAddressBook& c, std::ostream* os) { *os << c.name; }

class MissingAddressBookTest : public ::testing::TestWithParam<MissingAddressBook> {};

TEST_P(MissingAddressBookTest, EndsWithTheRunTimeErrorBeforeAnyWindow) {
  ShopLayout layout;
  layout.install_dir = GetParam().install_dir;
  ShopMachine machine(layout);
  fs::remove(machine.install() / "Addr.mdb");

  const ToolRun run = machine.Run("yes\n");

  ASSERT_EQ(run.transcript.size(), 4u) << run.Describe();
  EXPECT_EQ(run.transcript[1], "answer yes");
  EXPECT_EQ(run.transcript[2], "error -2147467259 Could not find file '" + std::string(GetParam().shown_path) + "'.");
  EXPECT_EQ(run.transcript[3], "exit 1");
  EXPECT_EQ(run.exit_code, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MissingAddressBookTest,
    ::testing::Values(
        MissingAddressBook{"ProgramFiles", "Program Files/Brevak", "C:\\\\Program Files\\\\Brevak\\\\Addr.mdb"},
        MissingAddressBook{"ChineseFolders", "Program Files/汽修管家/Brevak",
                           "C:\\\\Program Files\\\\汽修管家\\\\Brevak\\\\Addr.mdb"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the application's key the installation folder is empty and the
// connection string names the bare file, which the engine looks for in the
// current folder.
TEST(StartTest, WithoutTheKeyTheBareFileNameIsOpened) {
  ShopMachine machine;
  machine.prefix().WriteSystemReg(TempPrefix::SystemRegWithKey(
      "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Other.exe", "@=\"C:\\\\Other\\\\Other.exe\""));

  const ToolRun missing = machine.Run("yes\n");
  EXPECT_EQ(missing.LinesStartingWith("error "),
            std::vector<std::string>{"error -2147467259 Could not find file 'Addr.mdb'."})
      << missing.Describe();
  EXPECT_TRUE(missing.LinesStartingWith("window shown").empty());

  // With an Addr.mdb in the current folder the window opens, and the
  // history of the empty installation folder finds nothing.
  fs::copy_file(machine.install() / "Addr.mdb", machine.prefix().root() / "Addr.mdb");
  const ToolRun found = machine.Run("yes\nclick cmdGetHistory\nok\n");
  EXPECT_EQ(found.transcript, (std::vector<std::string>{StartPromptLine(), "answer yes", "window shown",
                                                         OkBox("没有找到升级记录"), "answer ok",
                                                         "window closed", "exit 0"}))
      << found.Describe();
}

}  // namespace
}  // namespace brevak::testing
