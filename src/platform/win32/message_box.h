#ifndef BREVAK_PLATFORM_WIN32_MESSAGE_BOX_H_
#define BREVAK_PLATFORM_WIN32_MESSAGE_BOX_H_

#include <cstdint>
#include <string>

#include "platform/runtime_error.h"
#include "platform/window_system.h"

namespace brevak::win32 {

// MessageBoxW with the application's title, owned by `owner` (a window
// handle, or 0). Returns vbOK, vbYes, vbNo or vbCancel.
int ShowMessageBox(uintptr_t owner, const std::u16string& text, MsgBoxButtons buttons);

// The run-time error message: "实时错误 'N':", a blank line, the description.
std::u16string RunTimeErrorText(const RunTimeError& error);
void ShowRunTimeError(uintptr_t owner, const RunTimeError& error);

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_MESSAGE_BOX_H_
