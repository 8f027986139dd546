#include "core/mod_copy.h"

#include <gtest/gtest.h>

#include "platform/posix/text/iconv_code_page.h"
#include "support/fake_platform.h"

namespace brevak {
namespace {
using namespace std::string_literals;

TEST(ModCopyTest, SourceListHasOneNulBetweenPatternsAndTwoAtTheEnd) {
  EXPECT_EQ(SourceList({u"C:\\Brevak\\*.car", u"C:\\Brevak\\\\*.ini"}),
            u"C:\\Brevak\\*.car\0C:\\Brevak\\\\*.ini\0\0"s);
  EXPECT_EQ(SourceList({u"x"}), u"x\0\0"s);
}

TEST(ModCopyTest, HandsTheRecordOverFieldByFieldInTheCodePage) {
  posix::IconvCodePage code_page;
  testing::FakeShellCopy shell;
  shell.outcomes.push_back({.result = 0, .aborted = 1, .last_error = 5});
  Platform platform;
  platform.code_page = &code_page;
  platform.shell_copy = &shell;

  SHFILEOPSTRUCT request;
  request.hwnd = 0x1234;
  request.wFunc = 2;
  request.pFrom = SourceList({u"C:\\店\\*.car"});
  request.pTo = u"C:\\店\\";
  request.fFlags = 0x10201;  // only the low 16 bits reach the platform
  int32_t last_error = -1;
  EXPECT_EQ(SHFileOperation(platform, request, &last_error), 0);

  ASSERT_EQ(shell.requests.size(), 1u);
  const ShFileOpStruct& sent = shell.requests[0];
  EXPECT_EQ(sent.hwnd, 0x1234u);
  EXPECT_EQ(sent.wFunc, 2u);
  EXPECT_EQ(sent.pFrom, "C:\\\xB5\xEA\\*.car\0\0"s);
  EXPECT_EQ(sent.pTo, "C:\\\xB5\xEA\\");
  EXPECT_EQ(sent.fFlags, 0x201);
  EXPECT_EQ(request.fAnyOperationsAborted, 1);
  EXPECT_EQ(last_error, 5);
}

}  // namespace
}  // namespace brevak
