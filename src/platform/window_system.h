#ifndef BREVAK_PLATFORM_WINDOW_SYSTEM_H_
#define BREVAK_PLATFORM_WINDOW_SYSTEM_H_

#include <cstdint>
#include <functional>
#include <string>

namespace brevak {

// The controls of the update window.
enum class Control { Text1, ProgressBar1, ListDir, cmdGetHistory, CmdRestore, CmdUpdate, CmdClose };

// Button sets of a message box, with the values MsgBox takes.
enum class MsgBoxButtons { kOkOnly = 0, kYesNoCancel = 3, kYesNo = 4 };

// What MsgBox returns.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The update window's event procedures, run by the window system when the
// window loads, unloads or the user acts on a control.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void Form_Load() = 0;
  virtual void Form_Unload(int16_t& cancel) = 0;
  virtual void CmdUpdate_Click() = 0;
  virtual void cmdGetHistory_Click() = 0;
  virtual void ListDir_Click() = 0;
  virtual void CmdRestore_Click() = 0;
  virtual void CmdClose_Click() = 0;
};

// The window system: one update window (FormUpdate's layout), its controls
// and modal message boxes. A RunTimeError that escapes Main, Form_Load or an
// event procedure is shown as the run-time error message and ends the
// program with a non-zero exit code.
class WindowSystem {
 public:
  WindowSystem() = default;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;
  virtual ~WindowSystem() = default;

  // Runs `main`, then the window's events until no window is left.
  // Returns the program's exit code.
  virtual int Run(const std::function<void()>& main) = 0;

  // A modal message box with the application's title. Returns vbOK, vbYes,
  // vbNo or vbCancel.
  virtual int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) = 0;

  // Creates the update window, runs form->Form_Load() and shows the window
  // modeless. A failure of Form_Load passes to the caller, and the window
  // is never shown. REQUIRES: `form` outlives the window.
  virtual void Show(FormEvents* form) = 0;
  // Runs Form_Unload, then destroys the window.
  virtual void Unload() = 0;
  // The update window's native handle (0 before it exists).
  virtual uintptr_t hWnd() = 0;

  virtual void SetCaption(Control control, const std::u16string& caption) = 0;
  virtual void SetLeft(Control control, int twips) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;

  // ListDir.
  virtual void AddItem(const std::u16string& text) = 0;
  virtual void RemoveItem(int16_t index) = 0;
  virtual int16_t ListCount() = 0;
  virtual int16_t ListIndex() = 0;
  // The entry's text; the empty text for index -1.
  virtual std::u16string List(int16_t index) = 0;

  // ProgressBar1's value, 0 to 100.
  virtual float ProgressValue() = 0;
  virtual void SetProgressValue(float value) = 0;

  // A progress window owned by the update window, for a long platform
  // operation (the shell copy). `fraction` runs from 0 to 1. Returns false
  // once the user has asked to cancel the operation.
  virtual bool ShowOperationProgress(const std::u16string& text, double fraction) = 0;
  virtual void HideOperationProgress() = 0;

  // Lets the window work off its pending messages while a handler runs (the
  // run-time's DoEvents): it repaints and answers the system, so Windows
  // never marks it as not responding during a long update. A click or a
  // close request that arrives meanwhile starts no handler: one handler
  // runs at a time. The scripted window system reads nothing from its
  // script here.
  virtual void DoEvents() = 0;

  // What the running handler is doing, in the core's words (e.g. that it is
  // restoring the shop's data), for the system's own texts while it runs:
  // the reason Windows shows when a shutdown waits for the tool. It lasts
  // until the handler ends. Shows nothing in the window itself.
  virtual void SetBusyReason(const std::u16string& reason) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_WINDOW_SYSTEM_H_
