#ifndef BREVAK_CORE_SHOWN_MESSAGES_H_
#define BREVAK_CORE_SHOWN_MESSAGES_H_

#include "platform/platform.h"
#include "platform/window_system_wrapper.h"

namespace brevak {

// The window system as the update window's procedures use it, keeping the
// text of the last message box shown, so the upgrade log can say what the
// user was told without any handler having to pass it on.
// REQUIRES: platform.window is set before the object is made.
class ShownMessages : public WindowSystemWrapper {
 public:
  explicit ShownMessages(Platform& platform) : WindowSystemWrapper(*platform.window) {}

  // The last message box's text since the last Forget, or the empty text.
  const std::u16string& last() const { return last_; }
  void Forget() { last_.clear(); }

  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override {
    last_ = prompt;
    return WindowSystemWrapper::MsgBox(prompt, buttons);
  }

 private:
  std::u16string last_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_SHOWN_MESSAGES_H_
