// A copy request made and reported on its own: what the user is told for
// each outcome, whether the handler may go on, and the failure in words.
#include "core/copy_requests.h"

#include <gtest/gtest.h>

#include "core/prompts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using Texts = std::vector<std::u16string>;

TEST(CopyRequestsTest, EachOutcomeIsToldAndStopsTheHandlerByTheOutcomeRule) {
  const std::u16string kCancelled = u"需要先建立数据备份文件夹并备份数据才可继续，请再试一次";
  const std::u16string kNotMade = prompt::CopyRequestNotMade(u"找不到 DLL 入口点 SHFileOperationA");
  struct Case {
    const char* name;
    testing::CopyOutcome shell;
    Texts told;
    bool go_on;               // RunCopyRequest without stopping when aborted
    bool go_on_when_stopped;  // and with
    std::u16string failure;
  };
  const Case cases[] = {
      {"done", {}, {}, true, true, u""},
      {"failed", {.result = 5, .last_error = 32}, {u"32"}, false, false, prompt::CopyFailedWithCode(u"32")},
      {"cancelled", {.result = ERROR_CANCELLED, .last_error = 1223}, {kCancelled, u"1223"}, false, false, prompt::CopyCancelled()},
      {"aborted", {.aborted = 1}, {u"Operation Failed"}, true, false, prompt::CopyAborted()},
      {"not made", {.cannot_be_made = true}, {kNotMade}, false, false, kNotMade},
  };
  for (const Case& c : cases) {
    for (const bool stop_when_aborted : {false, true}) {
      testing::ServicesBench bench;
      bench.harness.shell.outcomes = {c.shell, c.shell};
      CopyRequests copies(bench.platform, bench.window);
      SHFILEOPSTRUCT request;
      EXPECT_EQ(copies.RunCopyRequest(request, stop_when_aborted), stop_when_aborted ? c.go_on_when_stopped : c.go_on)
          << c.name;
      EXPECT_EQ(bench.Messages(), c.told) << c.name;
      EXPECT_EQ(request.wFunc, static_cast<int32_t>(FO_COPY)) << c.name;
      EXPECT_EQ(CopyRequests::CopyFailureText(copies.MakeCopyRequest(request)), c.failure) << c.name;
    }
  }
}

}  // namespace
}  // namespace brevak
