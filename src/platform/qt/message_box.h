#ifndef BREVAK_PLATFORM_QT_MESSAGE_BOX_H_
#define BREVAK_PLATFORM_QT_MESSAGE_BOX_H_

#include <QString>

#include "platform/runtime_error.h"
#include "platform/window_system.h"

class QWidget;

namespace brevak {

// The application's title, which every message box and the window show.
QString ApplicationTitle();

// A modal message box with the application's title and no icon, buttons
// labelled in Chinese. Returns vbOK, vbYes, vbNo or vbCancel; closing the
// box from its title bar (or Esc) answers as its No, Cancel or OK button.
int ShowMessageBox(QWidget* parent, const QString& text, MsgBoxButtons buttons);

// The run-time's error message: "实时错误 'N':", a blank line and the
// description, with an OK button only.
void ShowRunTimeError(QWidget* parent, const RunTimeError& error);
QString RunTimeErrorText(const RunTimeError& error);

}  // namespace brevak

#endif  // BREVAK_PLATFORM_QT_MESSAGE_BOX_H_
