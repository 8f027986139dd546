#include "platform/scripted/scripted_window_system.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "platform/runtime_error.h"
#include "platform/scripted/protocol_error.h"
#include "platform/window_controls.h"

namespace brevak {
namespace {

// The run-time's errors of the controls, with the descriptions a Chinese
// system shows.

constexpr int16_t kMaxListEntries = 32767;

// The value MsgBox returns for an answer word; 0 when the word is none.
int AnswerValue(const std::string& word) {
  if (word == "ok") return vbOK;
  if (word == "yes") return vbYes;
  if (word == "no") return vbNo;
  if (word == "cancel") return vbCancel;
  return 0;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

template <typename Number>
bool ParseWhole(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

ScriptedWindowSystem::ScriptedWindowSystem(std::istream& script, std::ostream& transcript)
    : script_(script), transcript_(transcript) {}

ScriptedWindowSystem::ScriptedWindowSystem(std::unique_ptr<std::ifstream> owned_script,
                                           std::string script_name)
    : owned_script_(std::move(owned_script)),
      unreadable_script_(owned_script_->is_open() ? std::string() : std::move(script_name)),
      script_(*owned_script_),
      transcript_(std::cout) {}

ScriptedWindowSystem::~ScriptedWindowSystem() = default;

std::unique_ptr<ScriptedWindowSystem> ScriptedWindowSystem::FromEnvironment() {
  const char* path = std::getenv(kScriptVariable);
  if (path == nullptr || *path == '\0') return nullptr;
  auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
  return std::unique_ptr<ScriptedWindowSystem>(
      new ScriptedWindowSystem(std::move(file), path));
}

int ScriptedWindowSystem::Run(const std::function<void()>& main) {
  try {
    return RunChecked(main);
  } catch (const ScriptProtocolError& error) {
    transcript_.Write("protocol " + std::to_string(error.line()) + " " +
                      EscapeText(std::string(error.what())));
    return Exit(2);
  } catch (const std::exception&) {
    const RunTimeError error = vb_error::FromCurrentException();
    transcript_.Write("error " + std::to_string(error.number()) + " " +
                      EscapeText(error.description()));
    return Exit(1);
  }
}

int ScriptedWindowSystem::RunChecked(const std::function<void()>& main) {
  if (!unreadable_script_.empty()) {
    throw ScriptProtocolError(0, "cannot open the script " + Quoted(unreadable_script_));
  }
  main();
  while (form_ != nullptr) {
    if (RunNextAction()) continue;
    Unload();  // the end of the script closes the window
    if (form_ != nullptr) {
      throw ScriptProtocolError(script_.NextLineNumber(),
                                "the window is still open at the end of the script");
    }
  }
  RejectRemainingLines();
  return Exit(0);
}

bool ScriptedWindowSystem::RunNextAction() {
  const std::optional<ScriptLine> line = script_.Next();
  if (!line) return false;
  if (line->verb == "click") {
    Click(*line);
  } else if (line->verb == "select") {
    Select(*line);
  } else if (line->verb == "wait") {
    Wait(*line);
  } else if (line->text == "close") {
    Unload();
  } else if (AnswerValue(line->verb) != 0) {
    throw ScriptProtocolError(line->number, "answer " + Quoted(line->text) +
                                                " while no message box is shown");
  } else {
    throw ScriptProtocolError(line->number, "unknown script line " + Quoted(line->text));
  }
  return true;
}

void ScriptedWindowSystem::Click(const ScriptLine& line) {
  const std::string& name = line.argument;
  for (Control button : {Control::CmdUpdate, Control::cmdGetHistory, Control::CmdRestore,
                         Control::CmdClose}) {
    if (name == ControlName(button)) {
      RaiseClick(*form_, button);
      return;
    }
  }
  throw ScriptProtocolError(line.number, "no button named " + Quoted(name));
}

void ScriptedWindowSystem::Select(const ScriptLine& line) {
  int index = 0;
  if (!ParseWhole(line.argument, index)) {
    throw ScriptProtocolError(line.number, "select needs an entry number, found " +
                                               Quoted(line.argument));
  }
  if (index < -1 || index >= static_cast<int>(list_.size())) {
    throw ScriptProtocolError(line.number, "select " + std::to_string(index) +
                                               " is outside the list of " +
                                               std::to_string(list_.size()) + " entries");
  }
  list_index_ = static_cast<int16_t>(index);
  form_->ListDir_Click();
}

void ScriptedWindowSystem::Wait(const ScriptLine& line) {
  double seconds = 0;
  if (!ParseWhole(line.argument, seconds) || !std::isfinite(seconds) || seconds < 0) {
    throw ScriptProtocolError(line.number, "wait needs a number of seconds, found " +
                                               Quoted(line.argument));
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void ScriptedWindowSystem::RejectRemainingLines() {
  if (const std::optional<ScriptLine> line = script_.Next()) {
    throw ScriptProtocolError(line->number,
                              Quoted(line->text) + " after the program has ended");
  }
}

int ScriptedWindowSystem::Exit(int code) {
  transcript_.Write("exit " + std::to_string(code));
  return code;
}

int ScriptedWindowSystem::MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) {
  transcript_.Write(std::string("msgbox ") + ButtonsName(buttons) + " " + EscapeText(prompt));
  for (;;) {
    const std::optional<ScriptLine> line = script_.Next();
    if (!line) {
      throw ScriptProtocolError(script_.NextLineNumber(), "no answer left for the message box");
    }
    if (line->verb == "wait") {
      Wait(*line);
      continue;
    }
    const int answer = line->argument.empty() ? AnswerValue(line->verb) : 0;
    if (answer == 0) {
      throw ScriptProtocolError(line->number, "expected an answer to the message box, found " +
                                                  Quoted(line->text));
    }
    if (!AnswerFits(answer, buttons)) {
      throw ScriptProtocolError(line->number, "answer " + Quoted(line->verb) + " does not fit a " +
                                                  ButtonsName(buttons) + " message box");
    }
    transcript_.Write("answer " + line->verb);
    return answer;
  }
}

void ScriptedWindowSystem::Show(FormEvents* form) {
  if (form_ != nullptr) return;  // already loaded: showing it again changes nothing
  form_ = form;
  list_.clear();
  list_index_ = -1;
  progress_value_ = 0;
  try {
    form_->Form_Load();
  } catch (...) {
    form_ = nullptr;  // a failed load leaves no window behind
    throw;
  }
  shown_ = true;
  transcript_.Write("window shown");
}

void ScriptedWindowSystem::Unload() {
  if (form_ == nullptr) return;
  int16_t cancel = 0;
  form_->Form_Unload(cancel);
  if (cancel != 0) return;
  form_ = nullptr;
  if (shown_) transcript_.Write("window closed");
  shown_ = false;
}

uintptr_t ScriptedWindowSystem::hWnd() { return form_ != nullptr ? kWindowHandle : 0; }

void ScriptedWindowSystem::SetCaption(Control control, const std::u16string& caption) {
  if (!IsButton(control)) throw PropertyNotSupported();
  transcript_.Write(std::string("caption ") + ControlName(control) + " " + EscapeText(caption));
}

void ScriptedWindowSystem::SetLeft(Control, int) {}

void ScriptedWindowSystem::SetVisible(Control control, bool visible) {
  if (control != Control::ProgressBar1) return;
  transcript_.Write(visible ? "progress visible 1" : "progress visible 0");
}

void ScriptedWindowSystem::AddItem(const std::u16string& text) {
  if (list_.size() >= static_cast<size_t>(kMaxListEntries)) {
    throw vb_error::Raise(vb_error::kOutOfMemory);
  }
  list_.push_back(text);
  transcript_.Write("list add " + EscapeText(text));
}

void ScriptedWindowSystem::RemoveItem(int16_t index) {
  if (index < 0 || index >= ListCount()) throw vb_error::Raise(vb_error::kInvalidProcedureCall);
  list_.erase(list_.begin() + index);
  if (list_index_ == index) {
    list_index_ = -1;
  } else if (list_index_ > index) {
    --list_index_;
  }
  transcript_.Write("list remove " + std::to_string(index));
}

int16_t ScriptedWindowSystem::ListCount() { return static_cast<int16_t>(list_.size()); }

int16_t ScriptedWindowSystem::ListIndex() { return list_index_; }

std::u16string ScriptedWindowSystem::List(int16_t index) {
  if (index == -1) return {};
  if (index < -1 || index >= ListCount()) throw InvalidPropertyArrayIndex();
  return list_[index];
}

float ScriptedWindowSystem::ProgressValue() { return progress_value_; }

void ScriptedWindowSystem::SetProgressValue(float value) {
  if (!(value >= 0 && value <= 100)) throw InvalidPropertyValue();
  progress_value_ = value;
  transcript_.Write("progress value " + ShortestDecimal(value));
}

bool ScriptedWindowSystem::ShowOperationProgress(const std::u16string&, double) { return true; }

void ScriptedWindowSystem::HideOperationProgress() {}

}  // namespace brevak
