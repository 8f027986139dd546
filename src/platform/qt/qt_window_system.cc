#include "platform/qt/qt_window_system.h"

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "platform/qt/message_box.h"
#include "platform/qt/update_window.h"
#include "platform/window_controls.h"

namespace brevak {
namespace {

RunTimeError ObjectNotSet() { return vb_error::Raise(vb_error::kObjectNotSet); }

constexpr int16_t kMaxListEntries = 32767;
constexpr int kProgressSteps = 1000;

// Chinese text needs a font with CJK glyphs; name the ones a Chinese
// desktop has, in order, and let fontconfig fall back from there.
void UseChineseFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Microsoft YaHei"),
                    QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(12);
  QApplication::setFont(font);
}

}  // namespace

QtWindowSystem::QtWindowSystem(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName(ApplicationTitle());
  QApplication::setQuitOnLastWindowClosed(false);  // the window's unload decides
  UseChineseFont();
}

QtWindowSystem::~QtWindowSystem() {
  delete progress_.data();
  window_.reset();
  retired_window_.reset();
}

int QtWindowSystem::Run(const std::function<void()>& main) {
  ending_ = false;
  exit_code_ = 0;
  Guard(main);
  if (!ending_ && window_ != nullptr) {
    loop_running_ = true;
    QApplication::exec();
    loop_running_ = false;
  }
  window_.reset();
  retired_window_.reset();
  return exit_code_;
}

void QtWindowSystem::Guard(const std::function<void()>& procedure) {
  if (ending_) return;
  if (const std::optional<RunTimeError> failure = CatchFailure(procedure)) EndWithError(*failure);
}

void QtWindowSystem::EndWithError(const RunTimeError& error) {
  ending_ = true;
  exit_code_ = 1;
  HideOperationProgress();
  ShowRunTimeError(window_ != nullptr && window_->isVisible() ? window_.get() : nullptr, error);
  if (window_ != nullptr) window_->hide();  // the program ends: no unload steps
  if (loop_running_) QApplication::exit(exit_code_);
}

int QtWindowSystem::MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) {
  QWidget* parent = window_ != nullptr && window_->isVisible() ? window_.get() : nullptr;
  return ShowMessageBox(parent, QString::fromStdU16String(prompt), buttons);
}

void QtWindowSystem::Show(FormEvents* form) {
  if (window_ != nullptr) return;  // already loaded: showing it again changes nothing
  retired_window_.reset();
  form_ = form;
  progress_value_ = 0;
  window_ = std::make_unique<UpdateWindow>();
  window_->on_action = [this](Control control) { OnAction(control); };
  window_->on_close_request = [this] { return OnCloseRequest(); };
  try {
    form_->Form_Load();
  } catch (...) {
    window_.reset();  // a failed load leaves no window behind
    form_ = nullptr;
    throw;
  }
  window_->CentreOnScreen();
  window_->show();
}

bool QtWindowSystem::RunHandler(const std::function<void()>& handler) {
  if (handler_running_) return false;
  handler_running_ = true;
  Guard(handler);
  handler_running_ = false;
  return true;
}

void QtWindowSystem::OnAction(Control control) {
  RunHandler([this, control] { RaiseClick(*form_, control); });
}

bool QtWindowSystem::OnCloseRequest() {
  if (ending_ || window_ == nullptr) return true;
  bool close = false;
  const bool ran = RunHandler([this, &close] {
    int16_t cancel = 0;
    form_->Form_Unload(cancel);
    close = cancel == 0;
  });
  if (!ran) return false;  // no unload in the middle of a handler
  if (ending_) return true;
  if (close) DestroyWindow();
  return close;
}

void QtWindowSystem::Unload() {
  if (window_ == nullptr) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel == 0) DestroyWindow();
}

void QtWindowSystem::DestroyWindow() {
  HideOperationProgress();
  form_ = nullptr;
  window_->hide();
  // The window may be inside one of its own event handlers right now.
  retired_window_ = std::move(window_);
  if (loop_running_) QApplication::quit();
}

uintptr_t QtWindowSystem::hWnd() {
  return window_ != nullptr ? static_cast<uintptr_t>(window_->winId()) : 0;
}

UpdateWindow& QtWindowSystem::window() {
  if (window_ == nullptr) throw ObjectNotSet();
  return *window_;
}

void QtWindowSystem::SetCaption(Control control, const std::u16string& caption) {
  QPushButton* button = window().button(control);
  if (button == nullptr) throw PropertyNotSupported();
  button->setText(QString::fromStdU16String(caption));
  button->repaint();
}

void QtWindowSystem::SetLeft(Control control, int twips) {
  QWidget* widget = window().control(control);
  const int left = static_cast<int>(std::lround(twips / double{UpdateWindow::kTwipsPerPixel}));
  widget->move(left, widget->y());
}

void QtWindowSystem::SetVisible(Control control, bool visible) {
  QWidget* widget = window().control(control);
  widget->setVisible(visible);
  // The handler that changes it blocks the event loop: paint now.
  if (visible) {
    widget->repaint();
  } else if (window_->isVisible()) {
    window_->repaint(widget->geometry());
  }
}

void QtWindowSystem::AddItem(const std::u16string& text) {
  if (window().list()->count() >= kMaxListEntries) throw vb_error::Raise(vb_error::kOutOfMemory);
  window_->list()->addItem(QString::fromStdU16String(text));
}

void QtWindowSystem::RemoveItem(int16_t index) {
  QListWidget* list = window().list();
  if (index < 0 || index >= list->count()) throw vb_error::Raise(vb_error::kInvalidProcedureCall);
  const bool was_selected = ListIndex() == index;
  const QSignalBlocker quiet(list);  // the program's own change raises no click
  delete list->takeItem(index);
  // Qt would select a neighbour; a list box keeps nothing selected.
  if (was_selected) list->clearSelection();
}

int16_t QtWindowSystem::ListCount() { return static_cast<int16_t>(window().list()->count()); }

int16_t QtWindowSystem::ListIndex() {
  const QModelIndexList selected = window().list()->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? int16_t{-1} : static_cast<int16_t>(selected.first().row());
}

std::u16string QtWindowSystem::List(int16_t index) {
  QListWidget* list = window().list();
  if (index == -1) return {};
  if (index < -1 || index >= list->count()) throw InvalidPropertyArrayIndex();
  return list->item(index)->text().toStdU16String();
}

float QtWindowSystem::ProgressValue() { return progress_value_; }

void QtWindowSystem::SetProgressValue(float value) {
  if (!(value >= 0 && value <= 100)) throw InvalidPropertyValue();
  QProgressBar* bar = window().progress_bar();
  progress_value_ = value;
  bar->setValue(static_cast<int>(std::lround(value)));
  bar->repaint();  // the handler that sets it blocks the event loop
}

bool QtWindowSystem::ShowOperationProgress(const std::u16string& text, double fraction) {
  if (progress_ == nullptr) {
    progress_ = new QProgressDialog(window_.get());
    progress_->setWindowTitle(ApplicationTitle());
    progress_->setCancelButtonText(QStringLiteral("取消"));
    progress_->setRange(0, kProgressSteps);
    progress_->setWindowModality(window_ != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    operation_cancelled_ = false;
    QObject::connect(progress_, &QProgressDialog::canceled, progress_,
                     [this] { operation_cancelled_ = true; });
    progress_->show();
  }
  progress_->setLabelText(QString::fromStdU16String(text));
  progress_->setValue(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kProgressSteps));
  QApplication::processEvents();
  if (progress_ != nullptr && progress_->wasCanceled()) operation_cancelled_ = true;
  return !operation_cancelled_;
}

namespace {

// Swallows the user's mouse and keyboard input to the widgets of one
// window: a click while a handler works must neither press a button nor
// change the list's selection under it.
class InputSwallower : public QObject {
 public:
  explicit InputSwallower(QWidget* window) : window_(window) {}
  bool eventFilter(QObject* target, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel: {
        auto* widget = qobject_cast<QWidget*>(target);
        return widget != nullptr && widget->window() == window_;
      }
      default:
        return false;
    }
  }

 private:
  QWidget* window_;
};

}  // namespace

// Repaints (the progress bar too) and answers the window system; the close
// request is refused by RunHandler.
void QtWindowSystem::DoEvents() {
  if (window_ == nullptr) return;
  InputSwallower swallower(window_.get());
  app_->installEventFilter(&swallower);
  QApplication::processEvents();
  app_->removeEventFilter(&swallower);
}

void QtWindowSystem::HideOperationProgress() {
  if (progress_ == nullptr) return;
  progress_->hide();
  delete progress_.data();
}

}  // namespace brevak
