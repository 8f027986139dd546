#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/message_box.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/update_window.h"
#include "platform/qt/window_icon.h"

namespace brevak {
namespace {

// One window system (and so one QApplication) for the whole test binary,
// destroyed before the program's exit handlers tear down Qt's own globals.
class QtEnvironment : public testing::Environment {
 public:
  static QtWindowSystem& System() { return *system_; }
  void SetUp() override { system_ = std::make_unique<QtWindowSystem>(argc_, argv_); }
  void TearDown() override { system_.reset(); }

 private:
  static inline int argc_ = 1;
  static inline char name_[] = "brevak_qt_tests";
  static inline char* argv_[] = {name_, nullptr};
  static inline std::unique_ptr<QtWindowSystem> system_;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

class FakeForm : public FormEvents {
 public:
  std::function<void()> on_load, on_update, on_close, on_list_click;
  std::function<void(int16_t&)> on_unload;
  std::vector<std::string> calls;

  void Form_Load() override { Call("Form_Load", on_load); }
  void Form_Unload(int16_t& cancel) override {
    calls.push_back("Form_Unload");
    if (on_unload) on_unload(cancel);
  }
  void CmdUpdate_Click() override { Call("CmdUpdate_Click", on_update); }
  void cmdGetHistory_Click() override { calls.push_back("cmdGetHistory_Click"); }
  void ListDir_Click() override { Call("ListDir_Click", on_list_click); }
  void CmdRestore_Click() override { calls.push_back("CmdRestore_Click"); }
  void CmdClose_Click() override { Call("CmdClose_Click", on_close); }

 private:
  void Call(const char* name, const std::function<void()>& body) {
    calls.push_back(name);
    if (body) body();
  }
};

using Calls = std::vector<std::string>;

UpdateWindow* FindWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = dynamic_cast<UpdateWindow*>(widget); window && window->isVisible()) {
      return window;
    }
  }
  return nullptr;
}

// Waits (in the event loop) for the next modal dialog, then hands it to
// `act`. Used to answer message boxes that block the code under test.
void WhenModalShows(std::function<void(QWidget*)> act) {
  QTimer::singleShot(5, [act = std::move(act)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(modal);
    } else {
      WhenModalShows(act);
    }
  });
}

// Where a test leaves a picture of what it showed, for a person to look
// at: a folder of its own in the temporary folder, never the folder the
// tests run in.
QString PicturePath(const char* name) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "brevak-qt-pictures";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return QString::fromStdString((folder / name).string());
}

// What a message box showed, and a click on the button labelled `label`.
struct SeenBox {
  QString title, text;
  QStringList buttons;
  QString screenshot;  // where to save a picture of the box, if anywhere
};

void ClickWhenModalShows(const QString& label, SeenBox* seen) {
  WhenModalShows([label, seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen->title = box->windowTitle();
    seen->text = box->text();
    if (!seen->screenshot.isEmpty()) box->grab().save(seen->screenshot);
    for (QAbstractButton* button : box->buttons()) {
      seen->buttons << button->text();
      if (button->text() == label) QTimer::singleShot(0, button, &QAbstractButton::click);
    }
  });
}

class QtWindowTest : public testing::Test {
 protected:
  void SetUp() override { ws_ = &QtEnvironment::System(); }
  void TearDown() override {
    if (ws_->hWnd() != 0) ws_->Unload();
  }
  UpdateWindow& ShowWindow() {
    ws_->Show(&form_);
    UpdateWindow* window = FindWindow();
    if (window == nullptr) throw std::runtime_error("no window shown");
    return *window;
  }

  QtWindowSystem* ws_ = nullptr;
  FakeForm form_;
};

TEST_F(QtWindowTest, WindowHasItsLayout) {
  UpdateWindow& window = ShowWindow();
  EXPECT_EQ(form_.calls, Calls{"Form_Load"});
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Brevak升级"));
  EXPECT_EQ(window.geometry().size(), QSize(484, 140));

  struct Expected {
    const char* name;
    QRect rect;
    QString caption;
  };
  const Expected controls[] = {
      {"Text1", {16, 104, 113, 18}, {}},
      {"ProgressBar1", {8, 80, 465, 17}, {}},
      {"ListDir", {8, 8, 217, 64}, {}},
      {"cmdGetHistory", {232, 8, 241, 25}, QStringLiteral("显示升级记录")},
      {"CmdRestore", {232, 48, 241, 25}, QStringLiteral("恢复原来记录")},
      {"CmdUpdate", {232, 104, 113, 25}, QStringLiteral("开始更新")},
      {"CmdClose", {360, 104, 113, 25}, QStringLiteral("关闭")},
  };
  QWidget* previous = nullptr;
  for (const Expected& c : controls) {
    auto* widget = window.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->geometry(), c.rect) << c.name;
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(button->text(), c.caption);
    }
    if (previous != nullptr) {  // tab order follows the table
      QWidget* next = previous->nextInFocusChain();
      while (next->parentWidget() != &window) next = next->nextInFocusChain();
      EXPECT_EQ(next, widget) << c.name;
    }
    previous = widget;
  }
  EXPECT_TRUE(window.text1()->text().isEmpty());
  EXPECT_FALSE(window.progress_bar()->isVisible());
  EXPECT_EQ(window.progress_bar()->minimum(), 0);
  EXPECT_EQ(window.progress_bar()->maximum(), 100);
  EXPECT_EQ(window.progress_bar()->orientation(), Qt::Horizontal);
  EXPECT_EQ(window.list()->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_FALSE(window.list()->isSortingEnabled());
  EXPECT_EQ(window.list()->count(), 0);
  EXPECT_EQ(window.focusWidget(), window.text1());  // focus rests on Text1
  EXPECT_NE(ws_->hWnd(), 0u);

  ws_->SetLeft(Control::Text1, -10000);
  EXPECT_EQ(window.text1()->x(), -667);
  EXPECT_EQ(window.text1()->y(), 104);

  ws_->SetVisible(Control::ProgressBar1, true);
  ws_->SetProgressValue(22);
  ws_->AddItem(u"20121225051422");
  ws_->AddItem(u"20130101080000");
  ASSERT_TRUE(window.grab().save(PicturePath("update_window.png")));
}

TEST_F(QtWindowTest, IconIs90By90In256Colours) {
  const QImage icon = MakeWindowIcon();
  EXPECT_EQ(icon.size(), QSize(90, 90));
  EXPECT_EQ(icon.format(), QImage::Format_Indexed8);
  EXPECT_LE(icon.colorCount(), 256);
  EXPECT_GT(icon.colorCount(), 4);  // a picture, not a blank
  EXPECT_TRUE(icon.save(PicturePath("window_icon.png")));
  UpdateWindow& window = ShowWindow();
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(90, 90)));
}

TEST_F(QtWindowTest, ButtonsRunTheirHandlers) {
  UpdateWindow& window = ShowWindow();
  for (Control control :
       {Control::CmdUpdate, Control::cmdGetHistory, Control::CmdRestore, Control::CmdClose}) {
    window.button(control)->click();
  }
  EXPECT_EQ(form_.calls, (Calls{"Form_Load", "CmdUpdate_Click", "cmdGetHistory_Click",
                                "CmdRestore_Click", "CmdClose_Click"}));
}

TEST_F(QtWindowTest, ListKeepsOrderAndReportsTheUsersSelection) {
  UpdateWindow& window = ShowWindow();
  std::vector<int16_t> clicked_indexes;
  form_.on_list_click = [&] { clicked_indexes.push_back(ws_->ListIndex()); };
  for (const char16_t* text : {u"c", u"a", u"b"}) ws_->AddItem(text);
  EXPECT_EQ(ws_->ListCount(), 3);
  EXPECT_EQ(ws_->ListIndex(), -1);
  EXPECT_EQ(ws_->List(-1), u"");
  EXPECT_EQ(ws_->List(0), u"c");

  window.list()->setCurrentRow(2);  // as the user's click does
  EXPECT_EQ(clicked_indexes, (std::vector<int16_t>{2}));
  ws_->RemoveItem(0);  // above the selection: the selection moves up, no click
  EXPECT_EQ(ws_->ListIndex(), 1);
  EXPECT_EQ(ws_->List(1), u"b");
  ws_->RemoveItem(1);  // the selected entry: nothing stays selected
  EXPECT_EQ(ws_->ListIndex(), -1);
  EXPECT_EQ(clicked_indexes.size(), 1u);

  ws_->SetCaption(Control::CmdRestore, u"恢复2012年12月25日05时14分22秒数据");
  EXPECT_EQ(window.button(Control::CmdRestore)->text(), QStringLiteral("恢复2012年12月25日05时14分22秒数据"));
}

TEST_F(QtWindowTest, ControlMisuseRaisesTheRunTimeErrors) {
  ShowWindow();
  ws_->AddItem(u"only");
  const std::pair<std::function<void()>, int32_t> cases[] = {
      {[&] { ws_->List(1); }, 381},
      {[&] { ws_->List(-2); }, 381},
      {[&] { ws_->RemoveItem(1); }, 5},
      {[&] { ws_->SetProgressValue(100.5f); }, 380},
      {[&] { ws_->SetProgressValue(-1); }, 380},
      {[&] { ws_->SetCaption(Control::ListDir, u"x"); }, 438},
  };
  for (const auto& [act, number] : cases) {
    try {
      act();
      ADD_FAILURE() << "no error, expected " << number;
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), number);
    }
  }
}

TEST_F(QtWindowTest, ProgressBarKeepsTheSinglePrecisionValue) {
  UpdateWindow& window = ShowWindow();
  ws_->SetVisible(Control::ProgressBar1, true);
  EXPECT_TRUE(window.progress_bar()->isVisible());
  ws_->SetProgressValue(19);
  ws_->SetProgressValue(ws_->ProgressValue() + 3);
  EXPECT_EQ(ws_->ProgressValue(), 22.0f);
  EXPECT_EQ(window.progress_bar()->value(), 22);
  ws_->SetProgressValue(0.5f);
  EXPECT_EQ(ws_->ProgressValue(), 0.5f);
  ws_->SetVisible(Control::ProgressBar1, false);
  EXPECT_FALSE(window.progress_bar()->isVisible());
}

TEST_F(QtWindowTest, ClosingFromTheTitleBarRunsUnload) {
  UpdateWindow& window = ShowWindow();
  int attempts = 0;
  form_.on_unload = [&](int16_t& cancel) { cancel = ++attempts == 1 ? 1 : 0; };
  EXPECT_FALSE(window.close());  // the first unload cancels
  EXPECT_NE(ws_->hWnd(), 0u);
  EXPECT_TRUE(window.close());
  EXPECT_EQ(ws_->hWnd(), 0u);
  EXPECT_EQ(form_.calls, (Calls{"Form_Load", "Form_Unload", "Form_Unload"}));
}

// A click of the mouse on `widget` at `at`, as the window system delivers it.
void PostClick(QWidget* widget, QPoint at) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QApplication::postEvent(widget, new QMouseEvent(type, at, widget->mapToGlobal(at),
                                                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  }
}

// While a handler works, DoEvents lets the window repaint and answer; the
// user's clicks and close request meanwhile start nothing and select nothing.
TEST_F(QtWindowTest, DoEventsStartsNoSecondHandler) {
  UpdateWindow& window = ShowWindow();
  ws_->AddItem(u"20121225051422");
  bool first = true;
  form_.on_update = [&] {
    if (!std::exchange(first, false)) return;
    PostClick(window.button(Control::CmdUpdate), {5, 5});
    PostClick(window.list()->viewport(), window.list()->visualItemRect(window.list()->item(0)).center());
    QTimer::singleShot(0, window.button(Control::cmdGetHistory), &QAbstractButton::click);
    QTimer::singleShot(0, &window, &QWidget::close);
    ws_->DoEvents();
  };
  window.button(Control::CmdUpdate)->click();
  EXPECT_EQ(form_.calls, (Calls{"Form_Load", "CmdUpdate_Click"}));
  EXPECT_EQ(ws_->ListIndex(), -1);
  EXPECT_TRUE(window.isVisible());
  window.button(Control::cmdGetHistory)->click();  // once it has returned, clicks count again
  EXPECT_EQ(form_.calls.back(), "cmdGetHistory_Click");
}

TEST_F(QtWindowTest, MessageBoxesAnswerWithTheirButtons) {
  struct Case {
    MsgBoxButtons buttons;
    QString click;
    int result;
    QStringList labels;
  };
  const Case cases[] = {
      {MsgBoxButtons::kOkOnly, QStringLiteral("确定"), vbOK, {QStringLiteral("确定")}},
      {MsgBoxButtons::kYesNo, QStringLiteral("是"), vbYes, {QStringLiteral("是"), QStringLiteral("否")}},
      {MsgBoxButtons::kYesNo, QStringLiteral("否"), vbNo, {QStringLiteral("是"), QStringLiteral("否")}},
      {MsgBoxButtons::kYesNoCancel, QStringLiteral("取消"), vbCancel,
       {QStringLiteral("是"), QStringLiteral("否"), QStringLiteral("取消")}},
  };
  for (const Case& c : cases) {
    SeenBox seen;
    ClickWhenModalShows(c.click, &seen);
    EXPECT_EQ(ws_->MsgBox(u"第一行\r\n是否继续？", c.buttons), c.result);
    EXPECT_EQ(seen.title, QStringLiteral("Brevak升级"));
    EXPECT_EQ(seen.text, QStringLiteral("第一行\n是否继续？"));
    QStringList sorted = seen.buttons, expected = c.labels;
    sorted.sort();
    expected.sort();
    EXPECT_EQ(sorted, expected);
  }
}

TEST_F(QtWindowTest, RunEndsWhenTheWindowUnloads) {
  form_.on_close = [&] { ws_->Unload(); };
  const int code = ws_->Run([&] {
    ws_->Show(&form_);
    QTimer::singleShot(0, [] { FindWindow()->button(Control::CmdClose)->click(); });
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(form_.calls, (Calls{"Form_Load", "CmdClose_Click", "Form_Unload"}));
  EXPECT_EQ(ws_->hWnd(), 0u);
}

TEST_F(QtWindowTest, RunTimeErrorInAHandlerShowsTheErrorAndEndsTheProgram) {
  form_.on_update = [] { throw RunTimeError(3704, u"对象关闭时，不允许操作。"); };
  SeenBox seen;
  seen.screenshot = PicturePath("run_time_error.png");
  const int code = ws_->Run([&] {
    ws_->Show(&form_);
    QTimer::singleShot(0, [] { FindWindow()->button(Control::CmdUpdate)->click(); });
    ClickWhenModalShows(QStringLiteral("确定"), &seen);
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(seen.title, QStringLiteral("Brevak升级"));
  EXPECT_EQ(seen.text, QStringLiteral("实时错误 '3704':\n\n对象关闭时，不允许操作。"));
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
  EXPECT_EQ(form_.calls, (Calls{"Form_Load", "CmdUpdate_Click"}));  // no unload steps
  EXPECT_EQ(FindWindow(), nullptr);
}

TEST_F(QtWindowTest, FailedLoadShowsTheErrorAndNoWindow) {
  form_.on_load = [] { throw vb_error::Raise(vb_error::kFileNotFound); };
  SeenBox seen;
  const int code = ws_->Run([&] {
    ClickWhenModalShows(QStringLiteral("确定"), &seen);
    ws_->Show(&form_);
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(seen.text, QStringLiteral("实时错误 '53':\n\n文件未找到"));
  EXPECT_EQ(form_.calls, Calls{"Form_Load"});
  EXPECT_EQ(ws_->hWnd(), 0u);
}

TEST_F(QtWindowTest, OperationProgressReportsCancel) {
  UpdateWindow& window = ShowWindow();
  EXPECT_TRUE(ws_->ShowOperationProgress(u"正在复制 Brevak.exe", 0.25));
  auto* dialog = window.findChild<QProgressDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
  EXPECT_EQ(dialog->labelText(), QStringLiteral("正在复制 Brevak.exe"));
  EXPECT_EQ(dialog->value(), 250);
  QPushButton* cancel = nullptr;
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("取消")) cancel = button;
  }
  ASSERT_NE(cancel, nullptr);
  cancel->click();
  EXPECT_FALSE(ws_->ShowOperationProgress(u"正在复制 Addr.mdb", 0.5));
  EXPECT_FALSE(ws_->ShowOperationProgress(u"正在复制 Addr.mdb", 0.75));
  ws_->HideOperationProgress();
  EXPECT_EQ(window.findChild<QProgressDialog*>(), nullptr);
  EXPECT_TRUE(ws_->ShowOperationProgress(u"再来", 0));  // a new operation starts uncancelled
  ws_->HideOperationProgress();
}

TEST(QtRunTimeErrorTextTest, FollowsTheRunTimesWording) {
  EXPECT_EQ(RunTimeErrorText(RunTimeError(53, u"文件未找到")),
            QStringLiteral("实时错误 '53':\n\n文件未找到"));
}

}  // namespace
}  // namespace brevak
