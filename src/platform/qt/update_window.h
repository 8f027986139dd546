#ifndef BREVAK_PLATFORM_QT_UPDATE_WINDOW_H_
#define BREVAK_PLATFORM_QT_UPDATE_WINDOW_H_

#include <QWidget>
#include <functional>

#include "platform/window_system.h"

class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace brevak {

// The update window at its own layout: a client area of 7260 x 2100 twips
// (484 x 140 pixels at 15 twips a pixel) holding Text1, ProgressBar1,
// ListDir and the four buttons, each named after its control. It knows
// nothing of the tool: user actions go to the callbacks.
class UpdateWindow : public QWidget {
 public:
  static constexpr int kTwipsPerPixel = 15;

  UpdateWindow();

  // Raised for a click on a button, or when the user changes the selection
  // of ListDir (Control::ListDir). Not raised by the program's own changes.
  std::function<void(Control)> on_action;
  // Asked when the user closes the window from its title bar; false keeps
  // the window open.
  std::function<bool()> on_close_request;

  QWidget* control(Control control) const;
  QPushButton* button(Control control) const;  // null for a control that is no button
  QLineEdit* text1() const { return text1_; }
  QProgressBar* progress_bar() const { return progress_bar_; }
  QListWidget* list() const { return list_; }

  // Puts the window at the centre of its screen.
  void CentreOnScreen();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void ConnectActions();

  QLineEdit* text1_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* get_history_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* update_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_QT_UPDATE_WINDOW_H_
