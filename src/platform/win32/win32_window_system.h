#ifndef BREVAK_PLATFORM_WIN32_WIN32_WINDOW_SYSTEM_H_
#define BREVAK_PLATFORM_WIN32_WIN32_WINDOW_SYSTEM_H_

#include <array>
#include <cstdint>

#include "platform/runtime_error.h"
#include "platform/window_system.h"
#include "platform/win32/shutdown_block.h"

namespace brevak::win32 {

// The update window as a Win32 window: a fixed-size top-level window with
// an edit box, a list box, four buttons and the common-controls progress
// bar, at the layout's twips converted at the system's DPI. Texts go
// through the W functions. No exception leaves the window procedure: a
// RunTimeError from a handler shows the run-time error message and ends the
// program with exit code 1. While a handler runs, the window refuses to let
// Windows shut down or log off (WM_QUERYENDSESSION).
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem();
  ~Win32WindowSystem() override;

  int Run(const std::function<void()>& main) override;
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override;
  void Show(FormEvents* form) override;
  void Unload() override;
  uintptr_t hWnd() override { return window_; }

  void SetCaption(Control control, const std::u16string& caption) override;
  void SetLeft(Control control, int twips) override;
  void SetVisible(Control control, bool visible) override;

  void AddItem(const std::u16string& text) override;
  void RemoveItem(int16_t index) override;
  int16_t ListCount() override;
  int16_t ListIndex() override;
  std::u16string List(int16_t index) override;

  float ProgressValue() override { return progress_value_; }
  void SetProgressValue(float value) override;

  // The shell's own copy shows its progress window on Windows: nothing to
  // add, and nothing to cancel here.
  bool ShowOperationProgress(const std::u16string&, double) override { return true; }
  void HideOperationProgress() override {}
  // Pumps the thread's pending messages; button clicks, list clicks and
  // close requests meanwhile are ignored.
  void DoEvents() override;
  // Named in the shutdown-block reason of the running handler.
  void SetBusyReason(const std::u16string& reason) override;

  // The window procedure's work for the update window. Returns true when
  // the message was handled; *result is then its answer.
  bool HandleMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result);

 private:
  static constexpr int kControlCount = 7;

  void CreateMainWindow();
  void CreateControls();
  void PlaceWindow();
  int Pixels(int twips, bool horizontal) const;
  uintptr_t ControlWindow(Control control);
  uintptr_t ListBox();
  // Runs a procedure; a RunTimeError it raises ends the program, and so does
  // any other exception (as the run-time's internal error): none may cross
  // the window procedure.
  void Guard(const std::function<void()>& procedure);
  // Runs a user's handler under Guard unless one is running already;
  // meanwhile shutdown and log-off are refused, with a reason shown.
  void RunHandler(const std::function<void()>& handler);
  void EndWithError(const RunTimeError& error);
  void OnCommand(int id, int code);
  void OnClose();
  void DestroyMainWindow();

  uintptr_t instance_ = 0;
  uintptr_t window_ = 0;
  uintptr_t font_ = 0;
  std::array<uintptr_t, kControlCount> controls_{};
  FormEvents* form_ = nullptr;
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  bool ending_ = false;
  int exit_code_ = 0;
  float progress_value_ = 0;
  bool handler_running_ = false;  // DoEvents may deliver clicks meanwhile
  ShutdownBlock* shutdown_block_ = nullptr;  // the running handler's
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_WINDOW_SYSTEM_H_
