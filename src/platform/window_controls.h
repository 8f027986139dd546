#ifndef BREVAK_PLATFORM_WINDOW_CONTROLS_H_
#define BREVAK_PLATFORM_WINDOW_CONTROLS_H_

// What every window system knows of the update window: its title, its
// size and the controls' places, the controls' names, which of them are
// buttons, the click each one raises, the message boxes' button sets, and
// the run-time's errors for a control used out of its range.

#include "platform/runtime_error.h"
#include "platform/window_system.h"

namespace brevak {

// The application's title, shown by the window and every message box.
inline constexpr char16_t kApplicationTitle[] = u"Brevak升级";

// One control of the update window, in twips from the client area's
// top-left corner.
struct ControlLayout {
  Control control;
  int left, top, width, height;
};

// The controls in tab order.
inline constexpr ControlLayout kLayout[] = {
    {Control::Text1, 240, 1560, 1695, 270},
    {Control::ProgressBar1, 120, 1200, 6975, 255},
    {Control::ListDir, 120, 120, 3255, 960},
    {Control::cmdGetHistory, 3480, 120, 3615, 375},
    {Control::CmdRestore, 3480, 720, 3615, 375},
    {Control::CmdUpdate, 3480, 1560, 1695, 375},
    {Control::CmdClose, 5400, 1560, 1695, 375},
};

// The client area's size.
inline constexpr int kClientWidthTwips = 7260;
inline constexpr int kClientHeightTwips = 2100;

inline RunTimeError InvalidPropertyValue() { return vb_error::Raise(vb_error::kInvalidPropertyValue); }
inline RunTimeError InvalidPropertyArrayIndex() {
  return vb_error::Raise(vb_error::kInvalidPropertyArrayIndex);
}
inline RunTimeError PropertyNotSupported() { return vb_error::Raise(vb_error::kPropertyNotSupported); }

inline const char* ControlName(Control control) {
  switch (control) {
    case Control::Text1: return "Text1";
    case Control::ProgressBar1: return "ProgressBar1";
    case Control::ListDir: return "ListDir";
    case Control::cmdGetHistory: return "cmdGetHistory";
    case Control::CmdRestore: return "CmdRestore";
    case Control::CmdUpdate: return "CmdUpdate";
    case Control::CmdClose: return "CmdClose";
  }
  return "?";
}

inline bool IsButton(Control control) {
  return control == Control::cmdGetHistory || control == Control::CmdRestore ||
         control == Control::CmdUpdate || control == Control::CmdClose;
}

// The word the transcript uses for a message box's buttons.
inline const char* ButtonsName(MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::kOkOnly: return "OK";
    case MsgBoxButtons::kYesNo: return "YesNo";
    case MsgBoxButtons::kYesNoCancel: return "YesNoCancel";
  }
  return "?";
}

// Whether `answer` (vbOK, vbYes, ...) is one of the box's buttons.
inline bool AnswerFits(int answer, MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::kOkOnly: return answer == vbOK;
    case MsgBoxButtons::kYesNo: return answer == vbYes || answer == vbNo;
    case MsgBoxButtons::kYesNoCancel: return answer == vbYes || answer == vbNo || answer == vbCancel;
  }
  return false;
}

// Runs the click event procedure of `control`; false for a control that
// raises no click.
inline bool RaiseClick(FormEvents& form, Control control) {
  switch (control) {
    case Control::CmdUpdate: form.CmdUpdate_Click(); return true;
    case Control::cmdGetHistory: form.cmdGetHistory_Click(); return true;
    case Control::CmdRestore: form.CmdRestore_Click(); return true;
    case Control::CmdClose: form.CmdClose_Click(); return true;
    case Control::ListDir: form.ListDir_Click(); return true;
    default: return false;
  }
}

}  // namespace brevak

#endif  // BREVAK_PLATFORM_WINDOW_CONTROLS_H_
