#ifndef BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_
#define BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_

#include "platform/window_system.h"

namespace brevak::win32 {

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

inline constexpr int kClientWidthTwips = 7260;
inline constexpr int kClientHeightTwips = 2100;
inline constexpr int kTwipsPerInch = 1440;

// The application's title, shown by the window and every message box.
inline constexpr const char16_t* kApplicationTitle = u"Brevak升级";

// The resource identifier of the window's icon.
inline constexpr int kWindowIconId = 1;

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WINDOW_LAYOUT_H_
