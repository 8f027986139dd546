#include "support/fake_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/runtime_error.h"
#include "platform/scripted/transcript.h"
#include "platform/window_controls.h"

namespace brevak::testing {
namespace {

constexpr size_t kMaxListEntries = 32767;

const char* AnswerName(int answer) {
  switch (answer) {
    case vbOK: return "ok";
    case vbCancel: return "cancel";
    case vbYes: return "yes";
    case vbNo: return "no";
  }
  return "?";
}

}  // namespace

void FakeWindow::Click(Control control) {
  ASSERT_NE(form_, nullptr) << "click on " << ControlName(control) << " with no window";
  switch (control) {
    case Control::CmdUpdate: form_->CmdUpdate_Click(); break;
    case Control::cmdGetHistory: form_->cmdGetHistory_Click(); break;
    case Control::CmdRestore: form_->CmdRestore_Click(); break;
    case Control::CmdClose: form_->CmdClose_Click(); break;
    case Control::ListDir: form_->ListDir_Click(); break;
    default: ADD_FAILURE() << ControlName(control) << " takes no clicks";
  }
}

int FakeWindow::Run(const std::function<void()>& main) {
  try {
    main();
    while (!actions_.empty() && form_ != nullptr) {
      const auto action = std::move(actions_.front());
      actions_.pop_front();
      action(*this);
    }
    if (form_ != nullptr) Unload();
  } catch (const RunTimeError& error) {
    events_.push_back("error " + std::to_string(error.number()) + " " + EscapeText(error.description()));
    form_ = nullptr;
    return 1;
  }
  return 0;
}

int FakeWindow::MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) {
  events_.push_back(std::string("msgbox ") + ButtonsName(buttons) + " " + EscapeText(prompt));
  const int answer = TakeAnswer(buttons);
  events_.push_back(std::string("answer ") + AnswerName(answer));
  message_boxes_.push_back({prompt, buttons, answer});
  return answer;
}

int FakeWindow::TakeAnswer(MsgBoxButtons buttons) {
  if (buttons == MsgBoxButtons::kOkOnly) return vbOK;
  const int fallback = buttons == MsgBoxButtons::kYesNo ? vbNo : vbCancel;
  if (answers_.empty()) {
    ADD_FAILURE() << "a message box with no answer queued";
    return fallback;
  }
  const int answer = answers_.front();
  answers_.pop_front();
  if (AnswerFits(answer, buttons)) return answer;
  ADD_FAILURE() << "answer " << AnswerName(answer) << " does not fit " << ButtonsName(buttons);
  return fallback;
}

void FakeWindow::Show(FormEvents* form) {
  form->Form_Load();  // a failure here passes on; the window is never shown
  form_ = form;
  events_.push_back("window shown");
}

void FakeWindow::Unload() {
  if (form_ == nullptr) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel != 0) return;
  form_ = nullptr;
  events_.push_back("window closed");
}

void FakeWindow::SetCaption(Control control, const std::u16string& caption) {
  events_.push_back(std::string("caption ") + ControlName(control) + " " + EscapeText(caption));
}

void FakeWindow::SetLeft(Control control, int twips) {
  events_.push_back(std::string("left ") + ControlName(control) + " " + std::to_string(twips));
}

void FakeWindow::SetVisible(Control control, bool visible) {
  events_.push_back(control == Control::ProgressBar1
                        ? std::string(visible ? "progress visible 1" : "progress visible 0")
                        : std::string("visible ") + ControlName(control) + (visible ? " 1" : " 0"));
}

void FakeWindow::AddItem(const std::u16string& text) {
  if (list_.size() >= kMaxListEntries) throw vb_error::Raise(vb_error::kOutOfMemory);
  list_.push_back(text);
  events_.push_back("list add " + EscapeText(text));
}

void FakeWindow::RemoveItem(int16_t index) {
  if (index < 0 || index >= ListCount()) throw vb_error::Raise(vb_error::kInvalidProcedureCall);
  list_.erase(list_.begin() + index);
  if (list_index_ == index) list_index_ = -1;
  if (list_index_ > index) --list_index_;
  events_.push_back("list remove " + std::to_string(index));
}

std::u16string FakeWindow::List(int16_t index) {
  if (index == -1) return {};
  if (index < -1 || index >= ListCount()) throw InvalidPropertyArrayIndex();
  return list_[static_cast<size_t>(index)];
}

void FakeWindow::SetProgressValue(float value) {
  if (!(value >= 0 && value <= 100)) throw InvalidPropertyValue();
  progress_value_ = value;
  events_.push_back("progress value " + ShortestDecimal(value));
}

bool FakeWindow::ShowOperationProgress(const std::u16string& text, double fraction) {
  ++operation_calls_;
  operation_visible_ = true;
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.3f", fraction);
  events_.push_back("operation " + EscapeText(text) + " " + shown);
  return cancel_operation_at_ == 0 || operation_calls_ < cancel_operation_at_;
}

void FakeWindow::HideOperationProgress() {
  operation_visible_ = false;
  events_.push_back("operation hidden");
}

}  // namespace brevak::testing
