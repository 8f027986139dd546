#include "platform/win32/message_box.h"

#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/window_layout.h"

namespace brevak::win32 {
namespace {

UINT StyleOf(MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::kOkOnly: return MB_OK;
    case MsgBoxButtons::kYesNo: return MB_YESNO;
    case MsgBoxButtons::kYesNoCancel: return MB_YESNOCANCEL;
  }
  return MB_OK;
}

// IDOK, IDYES, IDNO and IDCANCEL have the values MsgBox returns.
int ResultOf(int answer) {
  switch (answer) {
    case IDYES: return vbYes;
    case IDNO: return vbNo;
    case IDCANCEL: return vbCancel;
    default: return vbOK;
  }
}

}  // namespace

int ShowMessageBox(uintptr_t owner, const std::u16string& text, MsgBoxButtons buttons) {
  const UINT modality = owner != 0 ? MB_APPLMODAL : MB_TASKMODAL;
  return ResultOf(MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text),
                              reinterpret_cast<const wchar_t*>(kApplicationTitle),
                              StyleOf(buttons) | modality | MB_SETFOREGROUND));
}

std::u16string RunTimeErrorText(const RunTimeError& error) {
  std::u16string number;
  for (char c : std::to_string(error.number())) number += static_cast<char16_t>(c);
  return u"实时错误 '" + number + u"':\r\n\r\n" + error.description();
}

void ShowRunTimeError(uintptr_t owner, const RunTimeError& error) {
  ShowMessageBox(owner, RunTimeErrorText(error), MsgBoxButtons::kOkOnly);
}

}  // namespace brevak::win32
