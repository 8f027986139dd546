#ifndef BREVAK_PLATFORM_WINDOW_SYSTEM_WRAPPER_H_
#define BREVAK_PLATFORM_WINDOW_SYSTEM_WRAPPER_H_

#include "platform/window_system.h"

namespace brevak {

// A window system that passes every call on to another one. A window that
// changes one behaviour (keeping the last message, answering questions in
// a test) derives from it and overrides only that call.
class WindowSystemWrapper : public WindowSystem {
 public:
  // REQUIRES: `target` outlives the wrapper.
  explicit WindowSystemWrapper(WindowSystem& target) : target_(target) {}

  WindowSystem& target() const { return target_; }

  int Run(const std::function<void()>& main) override { return target_.Run(main); }
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override { return target_.MsgBox(prompt, buttons); }
  void Show(FormEvents* form) override { target_.Show(form); }
  void Unload() override { target_.Unload(); }
  uintptr_t hWnd() override { return target_.hWnd(); }
  void SetCaption(Control control, const std::u16string& caption) override { target_.SetCaption(control, caption); }
  void SetLeft(Control control, int twips) override { target_.SetLeft(control, twips); }
  void SetVisible(Control control, bool visible) override { target_.SetVisible(control, visible); }
  void AddItem(const std::u16string& text) override { target_.AddItem(text); }
  void RemoveItem(int16_t index) override { target_.RemoveItem(index); }
  int16_t ListCount() override { return target_.ListCount(); }
  int16_t ListIndex() override { return target_.ListIndex(); }
  std::u16string List(int16_t index) override { return target_.List(index); }
  float ProgressValue() override { return target_.ProgressValue(); }
  void SetProgressValue(float value) override { target_.SetProgressValue(value); }
  bool ShowOperationProgress(const std::u16string& text, double fraction) override {
    return target_.ShowOperationProgress(text, fraction);
  }
  void HideOperationProgress() override { target_.HideOperationProgress(); }
  void DoEvents() override { target_.DoEvents(); }
  void SetBusyReason(const std::u16string& reason) override { target_.SetBusyReason(reason); }

 private:
  WindowSystem& target_;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_WINDOW_SYSTEM_WRAPPER_H_
