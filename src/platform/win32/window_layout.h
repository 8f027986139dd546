#ifndef BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_
#define BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_

// The layout, the client size and the title are window_controls.h's.
#include "platform/window_controls.h"

namespace brevak::win32 {

inline constexpr int kTwipsPerInch = 1440;

// The resource identifier of the window's icon.
inline constexpr int kWindowIconId = 1;

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_
