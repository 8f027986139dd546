#include "platform/qt/update_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/message_box.h"
#include "platform/qt/window_icon.h"
#include "platform/window_controls.h"

namespace brevak {
namespace {

int Pixels(int twips) { return twips / UpdateWindow::kTwipsPerPixel; }

QRect PixelRect(const ControlLayout& layout) {
  return QRect(Pixels(layout.left), Pixels(layout.top), Pixels(layout.width), Pixels(layout.height));
}

}  // namespace

UpdateWindow::UpdateWindow() {
  setObjectName(QStringLiteral("FormUpdate"));
  setWindowTitle(ApplicationTitle());
  setWindowIcon(QIcon(QPixmap::fromImage(MakeWindowIcon())));
  setFixedSize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips));
  CreateControls();
  ConnectActions();
}

void UpdateWindow::CreateControls() {
  text1_ = new QLineEdit(this);
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setRange(0, 100);
  progress_bar_->setValue(0);
  progress_bar_->setOrientation(Qt::Horizontal);
  progress_bar_->setTextVisible(false);
  progress_bar_->hide();
  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSortingEnabled(false);
  get_history_ = new QPushButton(QStringLiteral("显示升级记录"), this);
  restore_ = new QPushButton(QStringLiteral("恢复原来记录"), this);
  update_ = new QPushButton(QStringLiteral("开始更新"), this);
  close_ = new QPushButton(QStringLiteral("关闭"), this);
  QWidget* previous = nullptr;
  for (const ControlLayout& layout : kLayout) {
    QWidget* widget = control(layout.control);
    widget->setObjectName(QString::fromLatin1(ControlName(layout.control)));
    widget->setGeometry(PixelRect(layout));
    if (previous != nullptr) setTabOrder(previous, widget);
    previous = widget;
  }
  text1_->setFocus();  // the focus rests on Text1, wherever it is moved
}

void UpdateWindow::ConnectActions() {
  const auto raise = [this](Control control) {
    if (on_action) on_action(control);
  };
  for (Control control : {Control::cmdGetHistory, Control::CmdRestore, Control::CmdUpdate,
                          Control::CmdClose}) {
    connect(button(control), &QPushButton::clicked, this, [raise, control] { raise(control); });
  }
  connect(list_, &QListWidget::itemSelectionChanged, this,
          [raise] { raise(Control::ListDir); });
}

QWidget* UpdateWindow::control(Control control) const {
  switch (control) {
    case Control::Text1: return text1_;
    case Control::ProgressBar1: return progress_bar_;
    case Control::ListDir: return list_;
    default: return button(control);
  }
}

QPushButton* UpdateWindow::button(Control control) const {
  switch (control) {
    case Control::cmdGetHistory: return get_history_;
    case Control::CmdRestore: return restore_;
    case Control::CmdUpdate: return update_;
    case Control::CmdClose: return close_;
    default: return nullptr;
  }
}

void UpdateWindow::CentreOnScreen() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  move(available.center() - rect().center());
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
  if (on_close_request && !on_close_request()) {
    event->ignore();
  } else {
    event->accept();
  }
}

}  // namespace brevak
