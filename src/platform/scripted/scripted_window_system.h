#ifndef BREVAK_PLATFORM_SCRIPTED_SCRIPTED_WINDOW_SYSTEM_H_
#define BREVAK_PLATFORM_SCRIPTED_SCRIPTED_WINDOW_SYSTEM_H_

// The window system driven by a script, for testing the whole program from
// outside. No window appears: the user's actions come from the script and
// everything the user would see is written to the transcript.
//
// Script lines (blank lines and lines starting with '#' are skipped):
//   yes | no | ok | cancel   answers the next message box, in order
//   click CONTROL            CmdUpdate, cmdGetHistory, CmdRestore, CmdClose
//   select N                 selects entry N of ListDir (-1: nothing), then
//                            runs ListDir_Click
//   close                    the user closes the window from its title bar:
//                            Form_Unload runs, then the window is destroyed
//   wait SECONDS             really sleeps that long (decimals allowed)
//
// Transcript lines, UTF-8, texts escaped (\r, \n, \\), flushed one by one:
//   msgbox OK|YesNo|YesNoCancel TEXT   answer WORD
//   window shown                       window closed
//   caption CONTROL TEXT               list add TEXT   list remove N
//   progress visible 0|1               progress value V (shortest decimal)
//   error NUMBER DESCRIPTION           exit CODE
//   protocol LINE WHAT
//
// Decisions where the script and the program may disagree:
// - A message box takes the next action line. `wait` lines before it are
//   slept through (the user takes time to answer); any other line, an
//   answer that is not one of the box's buttons (OK: ok; YesNo: yes, no;
//   YesNoCancel: yes, no, cancel) or the end of the script is a protocol
//   error. At the end of the script the line number reported is the one
//   after the last line.
// - While the window waits for the user, an answer line is a protocol
//   error: no message box is shown.
// - `select N` with N outside -1 .. ListCount-1 is a protocol error.
// - Action lines left when the program has ended (no window is left, or
//   Main answered No) are a protocol error: the script expected more.
// - At the end of the script a window still open is closed as by `close`.
//   If Form_Unload cancels that, the script cannot go on: protocol error.
// - A protocol error writes `protocol LINE WHAT` and `exit 2`; Run returns
//   2. A RunTimeError that escapes Main, Form_Load or an event procedure
//   writes `error NUMBER DESCRIPTION` and `exit 1`; Run returns 1. The
//   window is not unloaded then: the program simply ends.
// - Every caption set, progress visibility set and progress value set is
//   written, also when it repeats the value already there. The visibility
//   of other controls and SetLeft write nothing.
// - Control errors come out as the run-time raises them: List with an
//   index other than -1 and outside the list is 381, RemoveItem outside the
//   list is 5, a progress value outside 0..100 is 380, a caption on a
//   control without one (not a button) is 438.
// - Once the program has ended the script is not read any further.

#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/scripted/script_reader.h"
#include "platform/scripted/transcript.h"
#include "platform/window_system.h"

namespace brevak {

class ScriptedWindowSystem : public WindowSystem {
 public:
  // The environment variable that names the script file.
  static constexpr const char* kScriptVariable = "BREVAK_UI_SCRIPT";

  // Reads actions from `script`, writes the transcript to `transcript`.
  // Both must outlive this object.
  ScriptedWindowSystem(std::istream& script, std::ostream& transcript);
  ~ScriptedWindowSystem() override;

  // The scripted window system on the file named by BREVAK_UI_SCRIPT,
  // writing to standard output; nothing when the variable is unset or
  // empty. A file that cannot be opened makes Run report a protocol error
  // at line 0 without running Main.
  static std::unique_ptr<ScriptedWindowSystem> FromEnvironment();

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
  // Nothing waits in a script while a handler runs: the next line is read
  // only by a message box or once the handler has returned.
  void DoEvents() override {}
  // Kept for the tests of the core; it adds no transcript line, so a
  // transcript reads the same with or without it.
  void SetBusyReason(const std::u16string& reason) override { busy_reason_ = reason; }
  const std::u16string& busy_reason() const { return busy_reason_; }

 private:
  // The handle every scripted window reports while it exists.
  static constexpr uintptr_t kWindowHandle = 0x00010046;

  ScriptedWindowSystem(std::unique_ptr<std::ifstream> owned_script, std::string script_name);

  int RunChecked(const std::function<void()>& main);
  // Carries out the next action line while the window waits for the user.
  // Returns false at the end of the script.
  bool RunNextAction();
  void Click(const ScriptLine& line);
  void Select(const ScriptLine& line);
  void Wait(const ScriptLine& line);
  void RejectRemainingLines();
  int Exit(int code);

  std::unique_ptr<std::ifstream> owned_script_;
  std::string unreadable_script_;  // names a script file that did not open
  ScriptReader script_;
  Transcript transcript_;

  FormEvents* form_ = nullptr;  // the loaded window's events; null: no window
  bool shown_ = false;
  std::vector<std::u16string> list_;
  int16_t list_index_ = -1;
  float progress_value_ = 0;
  std::u16string busy_reason_;  // the last one named
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_SCRIPTED_SCRIPTED_WINDOW_SYSTEM_H_
