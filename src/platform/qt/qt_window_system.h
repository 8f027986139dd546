#ifndef BREVAK_PLATFORM_QT_QT_WINDOW_SYSTEM_H_
#define BREVAK_PLATFORM_QT_QT_WINDOW_SYSTEM_H_

#include <QPointer>
#include <memory>

#include "platform/runtime_error.h"
#include "platform/window_system.h"

class QApplication;
class QProgressDialog;

namespace brevak {

class UpdateWindow;

// The real window system on Linux: Qt6 Widgets. Owns the application
// object, the update window and its progress window. No exception crosses
// the Qt event loop: every event procedure runs under a guard that turns a
// RunTimeError into the run-time error message and the end of the program
// with exit code 1.
class QtWindowSystem : public WindowSystem {
 public:
  // `argc` and `argv` are Qt's (platform options); they must outlive this
  // object, as QApplication requires.
  QtWindowSystem(int& argc, char** argv);
  ~QtWindowSystem() override;

  int Run(const std::function<void()>& main) override;
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override;
  void Show(FormEvents* form) override;
  void Unload() override;
  uintptr_t hWnd() override;

  void SetCaption(Control control, const std::u16string& caption) override;
  void SetLeft(Control control, int twips) override;
  void SetVisible(Control control, bool visible) override;

  void AddItem(const std::u16string& text) override;
  void RemoveItem(int16_t index) override;
  int16_t ListCount() override;
  int16_t ListIndex() override;
  std::u16string List(int16_t index) override;

  float ProgressValue() override;
  void SetProgressValue(float value) override;

  bool ShowOperationProgress(const std::u16string& text, double fraction) override;
  void HideOperationProgress() override;
  // Processes the pending events: the window repaints (its progress bar
  // too) and answers; clicks and close requests meanwhile are ignored.
  void DoEvents() override;
  // A Linux desktop shows no reason for a shutdown that waits: nothing to
  // name it in.
  void SetBusyReason(const std::u16string&) override {}

 private:
  // Runs an event procedure; a RunTimeError ends the program.
  void Guard(const std::function<void()>& procedure);
  // Runs a user's handler under Guard unless one is running already.
  // Returns false when it was refused.
  bool RunHandler(const std::function<void()>& handler);
  void EndWithError(const RunTimeError& error);
  void OnAction(Control control);
  bool OnCloseRequest();
  // Destroys the window (after its unload steps ran) and, with no window
  // left, ends the event loop.
  void DestroyWindow();
  UpdateWindow& window();

  std::unique_ptr<QApplication> app_;
  std::unique_ptr<UpdateWindow> window_;
  // A window already unloaded but possibly still inside one of its own
  // event handlers; deleted once control is back here.
  std::unique_ptr<UpdateWindow> retired_window_;
  FormEvents* form_ = nullptr;
  QPointer<QProgressDialog> progress_;
  bool operation_cancelled_ = false;
  float progress_value_ = 0;
  int exit_code_ = 0;
  bool ending_ = false;  // a run-time error is ending the program
  bool loop_running_ = false;
  bool handler_running_ = false;  // DoEvents may deliver clicks meanwhile
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_QT_QT_WINDOW_SYSTEM_H_
