#include "platform/scripted/scripted_window_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/runtime_error.h"
#include "platform/scripted/transcript.h"

namespace brevak {
namespace {

// Event procedures whose bodies each test supplies; records the calls.
class FakeForm : public FormEvents {
 public:
  std::function<void()> on_load, on_update, on_history, on_list_click, on_restore, on_close;
  std::function<void(int16_t&)> on_unload;
  std::vector<std::string> calls;

  void Form_Load() override { Call("Form_Load", on_load); }
  void Form_Unload(int16_t& cancel) override {
    calls.push_back("Form_Unload");
    if (on_unload) on_unload(cancel);
  }
  void CmdUpdate_Click() override { Call("CmdUpdate_Click", on_update); }
  void cmdGetHistory_Click() override { Call("cmdGetHistory_Click", on_history); }
  void ListDir_Click() override { Call("ListDir_Click", on_list_click); }
  void CmdRestore_Click() override { Call("CmdRestore_Click", on_restore); }
  void CmdClose_Click() override { Call("CmdClose_Click", on_close); }

 private:
  void Call(const char* name, const std::function<void()>& body) {
    calls.push_back(name);
    if (body) body();
  }
};

// One scripted run: the script text in, the transcript lines out.
class ScriptedRun {
 public:
  explicit ScriptedRun(const std::string& script) : script_(script), ws_(script_, out_) {}

  ScriptedWindowSystem& ws() { return ws_; }
  FakeForm& form() { return form_; }

  // Runs a Main that asks the start question and shows the window on Yes.
  int RunStandardMain() {
    return ws_.Run([this] {
      if (ws_.MsgBox(u"是否继续？", MsgBoxButtons::kYesNo) == vbYes) ws_.Show(&form_);
    });
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::istringstream script_;
  std::ostringstream out_;
  ScriptedWindowSystem ws_;
  FakeForm form_;
};

using Lines = std::vector<std::string>;

TEST(ScriptedWindowSystemTest, WritesEveryKindOfTranscriptLine) {
  ScriptedRun run("yes\nclick CmdUpdate\nok\nclick cmdGetHistory\nselect 1\nclick CmdClose\n");
  ScriptedWindowSystem& ws = run.ws();
  FakeForm& form = run.form();
  form.on_load = [&] { ws.SetLeft(Control::Text1, -10000); };
  form.on_update = [&] {
    ws.SetVisible(Control::ProgressBar1, true);
    ws.SetProgressValue(19);
    ws.SetProgressValue(ws.ProgressValue() + 3);
    ws.SetProgressValue(0.5f);
    ws.SetVisible(Control::ProgressBar1, false);
    ws.MsgBox(u"升级完成", MsgBoxButtons::kOkOnly);
  };
  form.on_history = [&] {
    ws.AddItem(u"20121225051422");
    ws.AddItem(u"20130101000000");
    ws.AddItem(u"旧");
    ws.RemoveItem(0);
  };
  form.on_list_click = [&] { ws.SetCaption(Control::CmdRestore, ws.List(ws.ListIndex())); };
  form.on_close = [&] { ws.Unload(); };

  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.Lines(), (Lines{
      "msgbox YesNo 是否继续？", "answer yes", "window shown",
      "progress visible 1", "progress value 19", "progress value 22", "progress value 0.5",
      "progress visible 0", "msgbox OK 升级完成", "answer ok",
      "list add 20121225051422", "list add 20130101000000", "list add 旧", "list remove 0",
      "caption CmdRestore 旧", "window closed", "exit 0"}));
}

TEST(ScriptedWindowSystemTest, EachClickRunsItsOwnHandler) {
  ScriptedRun run("yes\nclick CmdUpdate\nclick cmdGetHistory\nclick CmdRestore\n"
                  "select -1\nclick CmdClose\n");
  run.form().on_close = [&] { run.ws().Unload(); };
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.form().calls,
            (Lines{"Form_Load", "CmdUpdate_Click", "cmdGetHistory_Click", "CmdRestore_Click",
                   "ListDir_Click", "CmdClose_Click", "Form_Unload"}));
}

TEST(ScriptedWindowSystemTest, EscapesTexts) {
  struct Case {
    std::u16string text;
    std::string escaped;
  };
  const Case cases[] = {
      {u"plain", "plain"},
      {u"a\r\nb", "a\\r\\nb"},
      {u"C:\\Program Files\\Brevak\\", "C:\\\\Program Files\\\\Brevak\\\\"},
      {u"\\r", "\\\\r"},
      {u"升级完成", "升级完成"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(1, char16_t(0xD800)) + u"x", "\xEF\xBF\xBDx"},
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeText(c.text), c.escaped);
    ScriptedRun run("yes\n");
    run.form().on_load = [&] { run.ws().AddItem(c.text); };
    run.RunStandardMain();
    EXPECT_EQ(run.Lines().at(2), "list add " + c.escaped);
  }
}

TEST(ScriptedWindowSystemTest, WritesProgressValuesAsShortestDecimals) {
  const std::pair<float, std::string> cases[] = {
      {0, "0"}, {19, "19"}, {22, "22"}, {97, "97"}, {100, "100"}, {0.5f, "0.5"}, {0.1f, "0.1"},
      {19.0f + 3.0f * 26, "97"}, {33.3f, "33.3"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(ShortestDecimal(value), text);
}

TEST(ScriptedWindowSystemTest, AnswersMessageBoxesInOrder) {
  struct Case {
    std::string word;
    MsgBoxButtons buttons;
    int result;
    std::string buttons_name;
  };
  const Case cases[] = {
      {"ok", MsgBoxButtons::kOkOnly, vbOK, "OK"},
      {"yes", MsgBoxButtons::kYesNo, vbYes, "YesNo"},
      {"no", MsgBoxButtons::kYesNo, vbNo, "YesNo"},
      {"yes", MsgBoxButtons::kYesNoCancel, vbYes, "YesNoCancel"},
      {"no", MsgBoxButtons::kYesNoCancel, vbNo, "YesNoCancel"},
      {"cancel", MsgBoxButtons::kYesNoCancel, vbCancel, "YesNoCancel"},
  };
  for (const Case& c : cases) {
    ScriptedRun run("# the answer\n\n" + c.word + "\r\n");
    int result = 0;
    EXPECT_EQ(run.ws().Run([&] { result = run.ws().MsgBox(u"问", c.buttons); }), 0);
    EXPECT_EQ(result, c.result) << c.word;
    EXPECT_EQ(run.Lines(), (Lines{"msgbox " + c.buttons_name + " 问", "answer " + c.word, "exit 0"}));
  }
}

TEST(ScriptedWindowSystemTest, WaitsBeforeAnActionOrAnAnswer) {
  ScriptedRun run("wait 0\nyes\nwait 0.001\nclick CmdUpdate\n");
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.form().calls, (Lines{"Form_Load", "CmdUpdate_Click", "Form_Unload"}));
}

// A main that shows the window after the start question and whose handlers
// each ask one Yes/No question or fill the list with two entries.
int RunQuestioningMain(ScriptedRun& run) {
  run.form().on_update = [&] { run.ws().MsgBox(u"继续？", MsgBoxButtons::kYesNo); };
  run.form().on_history = [&] {
    run.ws().AddItem(u"a");
    run.ws().AddItem(u"b");
  };
  run.form().on_close = [&] { run.ws().Unload(); };
  return run.RunStandardMain();
}

TEST(ScriptedWindowSystemTest, ReportsProtocolErrorsAtTheirLine) {
  struct Case {
    std::string script;
    std::string protocol;  // the start of the protocol line
  };
  const Case cases[] = {
      {"", "protocol 1 no answer left"},
      {"# only a comment\n\n", "protocol 3 no answer left"},
      {"yes\nclick CmdUpdate\n", "protocol 3 no answer left"},
      {"cancel\n", "protocol 1 answer 'cancel' does not fit a YesNo"},
      {"ok\n", "protocol 1 answer 'ok' does not fit a YesNo"},
      {"yes please\n", "protocol 1 expected an answer"},
      {"click CmdUpdate\n", "protocol 1 expected an answer"},
      {"yes\nclick CmdUpdate\nclick CmdClose\n", "protocol 3 expected an answer"},
      {"yes\n\nyes\n", "protocol 3 answer 'yes' while no message box"},
      {"yes\nfrobnicate\n", "protocol 2 unknown script line 'frobnicate'"},
      {"yes\nclose now\n", "protocol 2 unknown script line 'close now'"},
      {"yes\nclick Text1\n", "protocol 2 no button named 'Text1'"},
      {"yes\nselect 0\n", "protocol 2 select 0 is outside the list of 0 entries"},
      {"yes\nclick cmdGetHistory\nselect 2\n", "protocol 3 select 2 is outside"},
      {"yes\nclick cmdGetHistory\nselect -2\n", "protocol 3 select -2 is outside"},
      {"yes\nselect first\n", "protocol 2 select needs an entry number"},
      {"yes\nwait soon\n", "protocol 2 wait needs a number of seconds"},
      {"yes\nwait -1\n", "protocol 2 wait needs a number of seconds"},
      {"no\nclick CmdUpdate\n", "protocol 2 'click CmdUpdate' after the program has ended"},
      {"yes\nclick CmdClose\n# done\nclose\n", "protocol 4 'close' after the program has ended"},
  };
  for (const Case& c : cases) {
    ScriptedRun run(c.script);
    EXPECT_EQ(RunQuestioningMain(run), 2) << c.script;
    const Lines lines = run.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].rfind(c.protocol, 0), 0u)
        << c.script << " gave " << lines[lines.size() - 2];
    EXPECT_EQ(lines.back(), "exit 2");
  }
}

TEST(ScriptedWindowSystemTest, ProtocolErrorPassesThroughResumeNext) {
  ScriptedRun run("yes\nclick CmdUpdate\n");
  bool went_on = false;
  run.form().on_update = [&] {
    ResumeNext([&] { run.ws().MsgBox(u"继续？", MsgBoxButtons::kYesNo); });
    went_on = true;
  };
  EXPECT_EQ(run.RunStandardMain(), 2);
  EXPECT_FALSE(went_on);
  EXPECT_EQ(run.Lines().back(), "exit 2");
}

TEST(ScriptedWindowSystemTest, RunTimeErrorEndsTheProgram) {
  const RunTimeError failure(53, u"文件未找到");
  struct Case {
    std::string name;
    std::string script;
    std::function<void(FakeForm&)> arm;
    Lines tail;  // the lines after "msgbox YesNo 是否继续？"
  };
  const Case cases[] = {
      {"load", "yes\n", [&](FakeForm& f) { f.on_load = [&] { throw failure; }; },
       {"answer yes", "error 53 文件未找到", "exit 1"}},
      {"click", "yes\nclick CmdRestore\nclick CmdUpdate\n",
       [&](FakeForm& f) { f.on_restore = [&] { throw failure; }; },
       {"answer yes", "window shown", "error 53 文件未找到", "exit 1"}},
      {"unload at end of script", "yes\n",
       [&](FakeForm& f) { f.on_unload = [&](int16_t&) { throw failure; }; },
       {"answer yes", "window shown", "error 53 文件未找到", "exit 1"}},
      {"list click", "yes\nselect -1\n",
       [&](FakeForm& f) { f.on_list_click = [&] { throw RunTimeError(3704, u"对象关闭时\r\n不允许操作"); }; },
       {"answer yes", "window shown", "error 3704 对象关闭时\\r\\n不允许操作", "exit 1"}},
      // A library's own exception ends the program like a run-time error.
      {"other exception", "yes\nclick CmdUpdate\n",
       [&](FakeForm& f) { f.on_update = [] { throw std::runtime_error("disk"); }; },
       {"answer yes", "window shown", "error 51 内部错误", "exit 1"}},
      {"out of memory", "yes\nclick CmdUpdate\n",
       [&](FakeForm& f) { f.on_update = [] { throw std::bad_alloc(); }; },
       {"answer yes", "window shown", "error 7 内存溢出", "exit 1"}},
  };
  for (const Case& c : cases) {
    ScriptedRun run(c.script);
    c.arm(run.form());
    EXPECT_EQ(run.RunStandardMain(), 1) << c.name;
    Lines expected{"msgbox YesNo 是否继续？"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(run.Lines(), expected) << c.name;
  }
}

TEST(ScriptedWindowSystemTest, RunTimeErrorInMainEndsTheProgram) {
  ScriptedRun run("");
  EXPECT_EQ(run.ws().Run([] { throw vb_error::Raise(vb_error::kOverflow); }), 1);
  EXPECT_EQ(run.Lines(), (Lines{"error 6 溢出", "exit 1"}));
}

TEST(ScriptedWindowSystemTest, EndOfScriptClosesTheWindow) {
  ScriptedRun run("yes\n# nothing more\n");
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.form().calls, (Lines{"Form_Load", "Form_Unload"}));
  EXPECT_EQ(run.Lines(),
            (Lines{"msgbox YesNo 是否继续？", "answer yes", "window shown", "window closed", "exit 0"}));
}

TEST(ScriptedWindowSystemTest, CloseFromTitleBarRunsUnload) {
  ScriptedRun run("yes\nclose\n");
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.form().calls, (Lines{"Form_Load", "Form_Unload"}));
  EXPECT_EQ(run.Lines().at(3), "window closed");
}

TEST(ScriptedWindowSystemTest, CancelledUnloadKeepsTheWindow) {
  ScriptedRun run("yes\nclose\nclick CmdUpdate\n");
  int unloads = 0;
  run.form().on_unload = [&](int16_t& cancel) { cancel = ++unloads < 2 ? -1 : 0; };
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(run.form().calls, (Lines{"Form_Load", "Form_Unload", "CmdUpdate_Click", "Form_Unload"}));

  ScriptedRun stubborn("yes\n");
  stubborn.form().on_unload = [](int16_t& cancel) { cancel = 1; };
  EXPECT_EQ(stubborn.RunStandardMain(), 2);
  EXPECT_EQ(stubborn.Lines().at(3).rfind("protocol 2 the window is still open", 0), 0u);
}

TEST(ScriptedWindowSystemTest, AnsweringNoShowsNoWindow) {
  ScriptedRun run("no\n");
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_TRUE(run.form().calls.empty());
  EXPECT_EQ(run.Lines(), (Lines{"msgbox YesNo 是否继续？", "answer no", "exit 0"}));
}

TEST(ScriptedWindowSystemTest, HandleExistsWhileTheWindowDoes) {
  ScriptedRun run("yes\nclick CmdUpdate\n");
  ScriptedWindowSystem& ws = run.ws();
  std::vector<uintptr_t> seen;
  run.form().on_load = [&] { seen.push_back(ws.hWnd()); };
  run.form().on_update = [&] { seen.push_back(ws.hWnd()); };
  EXPECT_EQ(ws.hWnd(), 0u);
  run.RunStandardMain();
  EXPECT_EQ(ws.hWnd(), 0u);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(seen[0], 0u);
  EXPECT_EQ(seen[0], seen[1]);
}

TEST(ScriptedWindowSystemTest, ListKeepsOrderAndSelection) {
  ScriptedRun run("yes\nclick cmdGetHistory\nselect 2\nclick CmdUpdate\nselect 1\nclick CmdRestore\n");
  ScriptedWindowSystem& ws = run.ws();
  std::vector<int16_t> indexes;
  run.form().on_history = [&] {
    for (const char16_t* text : {u"c", u"a", u"b"}) ws.AddItem(text);
  };
  run.form().on_update = [&] {
    ws.RemoveItem(0);  // an entry above the selection: the selection moves up
    indexes.push_back(ws.ListIndex());
    EXPECT_EQ(ws.List(ws.ListIndex()), u"b");
  };
  run.form().on_restore = [&] {
    ws.RemoveItem(1);  // the selected entry: nothing stays selected
    indexes.push_back(ws.ListIndex());
    indexes.push_back(ws.ListCount());
    EXPECT_EQ(ws.List(-1), u"");
    EXPECT_EQ(ws.List(0), u"a");
  };
  EXPECT_EQ(run.RunStandardMain(), 0);
  EXPECT_EQ(indexes, (std::vector<int16_t>{1, -1, 1}));
}

TEST(ScriptedWindowSystemTest, ControlMisuseRaisesTheRunTimeErrors) {
  struct Case {
    std::string name;
    std::function<void(ScriptedWindowSystem&)> act;
    int32_t number;
  };
  const Case cases[] = {
      {"List past the end", [](ScriptedWindowSystem& ws) { ws.List(1); }, 381},
      {"List below -1", [](ScriptedWindowSystem& ws) { ws.List(-2); }, 381},
      {"RemoveItem past the end", [](ScriptedWindowSystem& ws) { ws.RemoveItem(1); }, 5},
      {"RemoveItem below 0", [](ScriptedWindowSystem& ws) { ws.RemoveItem(-1); }, 5},
      {"value above 100", [](ScriptedWindowSystem& ws) { ws.SetProgressValue(100.5f); }, 380},
      {"value below 0", [](ScriptedWindowSystem& ws) { ws.SetProgressValue(-1); }, 380},
      {"caption of the list", [](ScriptedWindowSystem& ws) { ws.SetCaption(Control::ListDir, u"x"); }, 438},
  };
  for (const Case& c : cases) {
    ScriptedRun run("yes\nclick CmdUpdate\n");
    run.form().on_update = [&] {
      run.ws().AddItem(u"only");
      c.act(run.ws());
    };
    EXPECT_EQ(run.RunStandardMain(), 1) << c.name;
    const Lines lines = run.Lines();
    EXPECT_EQ(lines.at(lines.size() - 2).rfind("error " + std::to_string(c.number) + " ", 0), 0u)
        << c.name;
  }
}

// Counts the flushes of the transcript stream.
class FlushCountingBuffer : public std::stringbuf {
 public:
  int flushes = 0;

 protected:
  int sync() override {
    ++flushes;
    return std::stringbuf::sync();
  }
};

TEST(ScriptedWindowSystemTest, FlushesEveryLine) {
  FlushCountingBuffer buffer;
  std::ostream out(&buffer);
  std::istringstream script("yes\nclose\n");
  ScriptedWindowSystem ws(script, out);
  FakeForm form;
  ws.Run([&] {
    if (ws.MsgBox(u"是否继续？", MsgBoxButtons::kYesNo) == vbYes) ws.Show(&form);
  });
  EXPECT_EQ(buffer.flushes, 5);  // msgbox, answer, shown, closed, exit
}

class ScopedScriptVariable {
 public:
  explicit ScopedScriptVariable(const std::string& value) {
    setenv(ScriptedWindowSystem::kScriptVariable, value.c_str(), 1);
  }
  ~ScopedScriptVariable() { unsetenv(ScriptedWindowSystem::kScriptVariable); }
};

TEST(ScriptedWindowSystemTest, FromEnvironmentReadsTheNamedScript) {
  EXPECT_EQ(ScriptedWindowSystem::FromEnvironment(), nullptr);
  {
    ScopedScriptVariable empty("");
    EXPECT_EQ(ScriptedWindowSystem::FromEnvironment(), nullptr);
  }
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("brevak-ui-script-" + std::to_string(getpid()));
  std::ofstream(path) << "# start\nno\n";
  ScopedScriptVariable variable(path.string());
  auto ws = ScriptedWindowSystem::FromEnvironment();
  ASSERT_NE(ws, nullptr);
  testing::internal::CaptureStdout();
  int answer = 0;
  EXPECT_EQ(ws->Run([&] { answer = ws->MsgBox(u"是否继续？", MsgBoxButtons::kYesNo); }), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "msgbox YesNo 是否继续？\nanswer no\nexit 0\n");
  EXPECT_EQ(answer, vbNo);
  std::filesystem::remove(path);
}

TEST(ScriptedWindowSystemTest, UnreadableScriptRunsNothing) {
  ScopedScriptVariable variable("/nonexistent/brevak/script");
  auto ws = ScriptedWindowSystem::FromEnvironment();
  ASSERT_NE(ws, nullptr);
  bool ran = false;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ws->Run([&] { ran = true; }), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "protocol 0 cannot open the script '/nonexistent/brevak/script'\nexit 2\n");
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace brevak
