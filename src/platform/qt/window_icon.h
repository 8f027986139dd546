#ifndef BREVAK_PLATFORM_QT_WINDOW_ICON_H_
#define BREVAK_PLATFORM_QT_WINDOW_ICON_H_

#include <QImage>

namespace brevak {

// The update window's icon: one 90 x 90 image in 256 colours (8-bit
// indexed), an upgrade arrow over a wrench, drawn by the program itself.
QImage MakeWindowIcon();

}  // namespace brevak

#endif  // BREVAK_PLATFORM_QT_WINDOW_ICON_H_
