#ifndef BREVAK_TESTS_SUPPORT_FAKE_WINDOW_H_
#define BREVAK_TESTS_SUPPORT_FAKE_WINDOW_H_

// A window system without a window, for tests: it keeps the controls'
// state, records every event as a line and answers message boxes from a
// queue.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace brevak::testing {

class FakeWindow : public WindowSystem {
 public:
  // One message box as it was shown and answered.
  struct MessageBox {
    std::u16string prompt;
    MsgBoxButtons buttons;
    int answer;
  };

  // --- What the test arranges -------------------------------------------
  // Answers (vbYes, vbNo, vbCancel, vbOK) for the next message boxes that
  // take a choice, in order. An OK-only box is answered vbOK without
  // taking from the queue. A box with no answer left, or an answer that
  // does not fit its buttons, fails the test and is answered vbCancel
  // (vbNo for Yes/No boxes).
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // A user action run by Run() after `main`, in order, while the window is
  // shown (e.g. [](FakeWindow& w) { w.Click(Control::CmdUpdate); }).
  void QueueAction(std::function<void(FakeWindow&)> action) { actions_.push_back(std::move(action)); }
  // A click on a button, as the window system raises it.
  void Click(Control control);
  // ShowOperationProgress answers false (the user cancels) from its n-th
  // call on, counting from 1; 0 never cancels.
  void CancelOperationAtCall(int n) { cancel_operation_at_ = n; }

  // --- What the test inspects -------------------------------------------
  // Every event, one line each, in the scripted transcript's words:
  // "msgbox YesNo TEXT", "answer yes", "window shown", "window closed",
  // "caption CmdRestore TEXT", "left ListDir 120", "visible ProgressBar1 1",
  // "list add TEXT", "list remove 0", "progress value 19",
  // "operation TEXT FRACTION", "operation hidden", "error N TEXT".
  const std::vector<std::string>& events() const { return events_; }
  const std::vector<MessageBox>& message_boxes() const { return message_boxes_; }
  int operation_progress_calls() const { return operation_calls_; }
  bool operation_progress_visible() const { return operation_visible_; }

  // --- WindowSystem -----------------------------------------------------
  // Runs `main`; a run-time error that escapes is recorded as "error N
  // TEXT" and gives exit code 1. A window still shown at the end is
  // unloaded.
  int Run(const std::function<void()>& main) override;
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override;
  void Show(FormEvents* form) override;
  void Unload() override;
  uintptr_t hWnd() override { return form_ != nullptr ? kHandle : 0; }
  void SetCaption(Control control, const std::u16string& caption) override;
  void SetLeft(Control control, int twips) override;
  void SetVisible(Control control, bool visible) override;
  void AddItem(const std::u16string& text) override;
  void RemoveItem(int16_t index) override;
  int16_t ListCount() override { return static_cast<int16_t>(list_.size()); }
  int16_t ListIndex() override { return list_index_; }
  std::u16string List(int16_t index) override;
  float ProgressValue() override { return progress_value_; }
  void SetProgressValue(float value) override;
  bool ShowOperationProgress(const std::u16string& text, double fraction) override;
  void HideOperationProgress() override;
  // Runs on_do_events, if set; records no event, so event lists stay as
  // they were.
  void DoEvents() override {
    if (on_do_events) on_do_events();
  }
  std::function<void()> on_do_events;
  // Records no event either.
  void SetBusyReason(const std::u16string&) override {}

  static constexpr uintptr_t kHandle = 0x10086;

 private:
  int TakeAnswer(MsgBoxButtons buttons);

  std::deque<int> answers_;
  std::deque<std::function<void(FakeWindow&)>> actions_;
  int cancel_operation_at_ = 0;

  FormEvents* form_ = nullptr;
  std::vector<std::string> events_;
  std::vector<MessageBox> message_boxes_;
  std::vector<std::u16string> list_;
  int16_t list_index_ = -1;
  float progress_value_ = 0;
  int operation_calls_ = 0;
  bool operation_visible_ = false;
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_FAKE_WINDOW_H_
