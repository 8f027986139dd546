#ifndef BREVAK_CORE_SHOWN_MESSAGES_H_
#define BREVAK_CORE_SHOWN_MESSAGES_H_

#include "platform/platform.h"

namespace brevak {

// The window system as the update window's procedures use it, keeping the
// text of the last message box shown, so the upgrade log can say what the
// user was told without any handler having to pass it on.
// REQUIRES: platform.window is set before the first call.
class ShownMessages : public WindowSystem {
 public:
  explicit ShownMessages(Platform& platform) : platform_(platform) {}

  // The last message box's text since the last Forget, or the empty text.
  const std::u16string& last() const { return last_; }
  void Forget() { last_.clear(); }

  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override {
    last_ = prompt;
    return window().MsgBox(prompt, buttons);
  }

  int Run(const std::function<void()>& main) override { return window().Run(main); }
  void Show(FormEvents* form) override { window().Show(form); }
  void Unload() override { window().Unload(); }
  uintptr_t hWnd() override { return window().hWnd(); }
  void SetCaption(Control control, const std::u16string& caption) override {
    window().SetCaption(control, caption);
  }
  void SetLeft(Control control, int twips) override { window().SetLeft(control, twips); }
  void SetVisible(Control control, bool visible) override { window().SetVisible(control, visible); }
  void AddItem(const std::u16string& text) override { window().AddItem(text); }
  void RemoveItem(int16_t index) override { window().RemoveItem(index); }
  int16_t ListCount() override { return window().ListCount(); }
  int16_t ListIndex() override { return window().ListIndex(); }
  std::u16string List(int16_t index) override { return window().List(index); }
  float ProgressValue() override { return window().ProgressValue(); }
  void SetProgressValue(float value) override { window().SetProgressValue(value); }
  bool ShowOperationProgress(const std::u16string& text, double fraction) override {
    return window().ShowOperationProgress(text, fraction);
  }
  void HideOperationProgress() override { window().HideOperationProgress(); }
  void DoEvents() override { window().DoEvents(); }
  void SetBusyReason(const std::u16string& reason) override { window().SetBusyReason(reason); }

 private:
  WindowSystem& window() { return *platform_.window; }

  Platform& platform_;
  std::u16string last_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_SHOWN_MESSAGES_H_
