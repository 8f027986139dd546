// A window wrapped in the forwarding base behaves as the window itself: the
// same calls leave the same events and answer the same values.
#include "platform/window_system_wrapper.h"

#include <gtest/gtest.h>

#include "support/fake_window.h"

namespace brevak {
namespace {

// Each call of the window system once, with values a swapped argument or a
// call passed to the wrong method would change; returns what the getters
// answered.
std::vector<std::string> UseEveryCall(WindowSystem& window) {
  std::vector<std::string> answers;
  window.SetCaption(Control::CmdRestore, u"恢复");
  window.SetLeft(Control::ListDir, 120);
  window.SetVisible(Control::ProgressBar1, true);
  window.AddItem(u"20261209054506");
  window.AddItem(u"20261210054506");
  window.RemoveItem(0);
  window.SetProgressValue(19);
  answers.push_back(std::to_string(window.ListCount()) + " " + std::to_string(window.ListIndex()));
  answers.push_back(std::string(window.List(0).size(), 'x'));
  answers.push_back(std::to_string(window.ProgressValue()) + " " + std::to_string(window.hWnd()));
  answers.push_back(std::to_string(window.ShowOperationProgress(u"正在复制", 0.5)));
  window.HideOperationProgress();
  window.DoEvents();
  answers.push_back(std::to_string(window.MsgBox(u"继续？", MsgBoxButtons::kYesNo)));
  return answers;
}

TEST(WindowSystemWrapperTest, EveryCallReachesTheWrappedWindowUnchanged) {
  testing::FakeWindow direct;
  testing::FakeWindow wrapped;
  int runs[2] = {0, 0};
  for (testing::FakeWindow* window : {&direct, &wrapped}) {
    window->QueueAnswer(vbNo);
    window->CancelOperationAtCall(1);
    window->on_do_events = [&runs, window, &direct] { ++runs[window == &direct ? 0 : 1]; };
  }
  WindowSystemWrapper wrapper(wrapped);

  const std::vector<std::string> expected = UseEveryCall(direct);
  EXPECT_EQ(UseEveryCall(wrapper), expected);
  EXPECT_EQ(wrapped.events(), direct.events());
  EXPECT_EQ(runs[1], runs[0]);
  EXPECT_EQ(wrapper.Run([] {}), direct.Run([] {}));
}

}  // namespace
}  // namespace brevak
