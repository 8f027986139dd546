#include "campaign/tool_driver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "support/tool_environment.h"

namespace brevak::campaign {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kScriptFd = 3;
constexpr char kSyncLine[] = "#\n";

uint64_t SplitMix(uint64_t x) {
  x += 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

double Draw(uint64_t seed, uint64_t index) {
  return static_cast<double>(SplitMix(seed ^ SplitMix(index)) >> 11) * 0x1.0p-53;
}

bool IsBackupName(const std::string& entry) {
  return entry.size() == 14 && std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A descriptor moved above the standard ones and the script's number, so
// that the child's dup2 calls never overwrite one another.
int HighFd(int fd) {
  const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
  close(fd);
  if (high < 0) throw std::runtime_error("fcntl failed");
  return high;
}

[[noreturn]] void ExecChild(const DriverLaunch& launch, int script_fd, int out_fd) {
  setpgid(0, 0);
  const int err_fd = open(launch.stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (err_fd < 0 || null_fd < 0 || dup2(null_fd, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0 ||
      dup2(script_fd, kScriptFd) < 0) {
    _exit(127);
  }
  std::vector<std::string> args = launch.wrapper;
  args.push_back(launch.tool.string());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env =
      testing::ToolEnvironment(launch.prefix, "/dev/fd/" + std::to_string(kScriptFd), launch.environment);
  std::vector<char*> envp = testing::ExecPointers(env);
  execvpe(argv[0], argv.data(), envp.data());
  _exit(127);
}

// One run: the child, its two pipes and what its transcript has said.
class Session {
 public:
  explicit Session(const DriverLaunch& launch) : launch_(launch) {}
  ~Session();
  DriverResult Run();

 private:
  void Start();
  // Reads what the transcript has for `wait_ms` at most; false at its end.
  bool ReadOutput(int wait_ms);
  void TakeLine(const std::string& line);
  void CheckClock();
  bool ScriptConsumed();
  void WriteLine(const std::string& line);
  // Writes `line` alone, waits until the tool has read it, then the sync line.
  void Say(const std::string& line);
  void Respond();
  std::string ChooseAnswer(const std::string& buttons);
  std::string NextAction();
  void CloseScript();
  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

  const DriverLaunch& launch_;
  DriverResult result_;
  pid_t pid_ = -1;
  int script_fd_ = -1;  // our end of the script pipe
  int out_fd_ = -1;
  bool output_ended_ = false;
  bool window_open_ = false;
  size_t next_event_ = 0;  // events are in time order
  size_t next_action_ = 0;
  size_t questions_ = 0;
  std::vector<std::string> list_;
  std::string partial_;
  Clock::time_point start_;
};

Session::~Session() {
  if (script_fd_ >= 0) close(script_fd_);
  if (out_fd_ >= 0) close(out_fd_);
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void Session::Start() {
  int script[2], out[2];
  if (pipe2(script, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  script[0] = HighFd(script[0]);
  script[1] = HighFd(script[1]);
  out[0] = HighFd(out[0]);
  out[1] = HighFd(out[1]);
  start_ = Clock::now();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) ExecChild(launch_, script[0], out[1]);
  setpgid(pid_, pid_);
  close(script[0]);
  close(out[1]);
  script_fd_ = script[1];
  out_fd_ = out[0];
  fcntl(out_fd_, F_SETFL, O_NONBLOCK);
}

bool Session::ReadOutput(int wait_ms) {
  if (output_ended_) return false;
  pollfd fd{out_fd_, POLLIN, 0};
  if (poll(&fd, 1, wait_ms) <= 0) return true;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(out_fd_, buffer, sizeof buffer);
    if (got > 0) {
      partial_.append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got == 0) output_ended_ = true;
    break;
  }
  for (size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    TakeLine(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return !output_ended_;
}

void Session::TakeLine(const std::string& line) {
  result_.transcript.push_back(line);
  const size_t space = line.find(' ');
  const std::string verb = line.substr(0, space);
  const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
  if (verb == "msgbox") {
    const size_t gap = rest.find(' ');
    result_.messages.push_back({rest.substr(0, gap), gap == std::string::npos ? "" : UnescapeText(rest.substr(gap + 1)), ""});
  } else if (verb == "answer" && !result_.messages.empty()) {
    result_.messages.back().answer = rest;
  } else if (verb == "error") {
    result_.messages.push_back({"error", UnescapeText(rest), ""});
  } else if (line == "window shown") {
    window_open_ = true;
  } else if (line == "window closed") {
    window_open_ = false;
  } else if (verb == "list" && rest.rfind("add ", 0) == 0) {
    list_.push_back(UnescapeText(rest.substr(4)));
  } else if (verb == "list" && rest.rfind("remove ", 0) == 0) {
    const size_t index = std::stoul(rest.substr(7));
    if (index < list_.size()) list_.erase(list_.begin() + static_cast<long>(index));
  } else if (verb == "exit") {
    result_.exit_code = std::stoi(rest);
  } else if (verb == "protocol") {
    result_.protocol_error = true;
  }
}

void Session::CheckClock() {
  const double elapsed = Elapsed();
  const bool kill_now = (launch_.kill_at >= 0 && elapsed >= launch_.kill_at) || (launch_.kill_when && launch_.kill_when());
  if (kill_now && !result_.killed) {
    kill(-pid_, SIGKILL);
    result_.killed = true;
  }
  for (; next_event_ < launch_.events.size() && elapsed >= launch_.events[next_event_].at_seconds; ++next_event_) {
    launch_.events[next_event_].fire();
  }
  if (!result_.timed_out && elapsed >= launch_.timeout_seconds) {
    kill(-pid_, SIGKILL);
    result_.timed_out = true;
  }
}

bool Session::ScriptConsumed() {
  int unread = 0;
  return ioctl(script_fd_, FIONREAD, &unread) == 0 && unread == 0;
}

void Session::WriteLine(const std::string& line) {
  // The tool may have ended: a broken pipe is no error of ours.
  if (write(script_fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) CloseScript();
}

void Session::Say(const std::string& line) {
  WriteLine(line + "\n");
  while (script_fd_ >= 0 && !ScriptConsumed() && ReadOutput(1)) CheckClock();
  if (script_fd_ >= 0) WriteLine(kSyncLine);
}

std::string Session::ChooseAnswer(const std::string& buttons) {
  if (buttons == "OK") return "ok";
  if (!window_open_ && buttons == "YesNo") return "yes";  // the start prompt
  if (questions_ == 0 && !launch_.answers.first_answer.empty()) {
    ++questions_;
    return launch_.answers.first_answer;
  }
  const double draw = Draw(launch_.answers.seed, questions_);
  const double yes = questions_ == 0 ? launch_.answers.first_yes : launch_.answers.yes;
  ++questions_;
  if (buttons == "YesNoCancel") return draw < 0.45 ? "yes" : draw < 0.9 ? "no" : "cancel";
  return draw < yes ? "yes" : "no";
}

std::string Session::NextAction() {
  while (next_action_ < launch_.actions.size()) {
    const DriverAction& action = launch_.actions[next_action_++];
    if (action.kind == DriverAction::Kind::kClick) {
      if (action.control == "CmdRestore") {
        if (result_.selected.empty()) return "";  // nothing listed: nothing to restore
        result_.restore_clicked = true;
        result_.messages_before_restore = result_.messages.size();
      }
      return "click " + action.control;
    }
    std::string newest;
    int index = -1;
    for (size_t i = 0; i < list_.size(); ++i) {
      if (IsBackupName(list_[i]) && list_[i] > newest) {
        newest = list_[i];
        index = static_cast<int>(i);
      }
    }
    if (index < 0) return "";
    result_.selected = newest;
    if (launch_.on_select) launch_.on_select(newest);
    return "select " + std::to_string(index);
  }
  return "";
}

void Session::CloseScript() {
  if (script_fd_ < 0) return;
  close(script_fd_);
  script_fd_ = -1;
}

// The tool waits for a line: the answer to its message box, or the next action.
void Session::Respond() {
  while (ReadOutput(0)) {
    if (partial_.empty()) break;  // wait for the rest of a line being written
  }
  const bool asking = !result_.messages.empty() && result_.messages.back().answer.empty() &&
                      result_.messages.back().buttons != "error";
  if (asking) return Say(ChooseAnswer(result_.messages.back().buttons));
  const std::string action = window_open_ ? NextAction() : "";
  if (action.empty()) return CloseScript();
  Say(action);
}

DriverResult Session::Run() {
  Start();
  WriteLine(kSyncLine);
  while (ReadOutput(1)) {
    CheckClock();
    if (script_fd_ >= 0 && !result_.killed && !result_.timed_out && ScriptConsumed()) Respond();
  }
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  result_.seconds = Elapsed();
  if (!partial_.empty()) TakeLine(partial_);
  return result_;
}

}  // namespace

DriverResult RunTool(const DriverLaunch& launch) {
  signal(SIGPIPE, SIG_IGN);
  Session session(launch);
  return session.Run();
}

}  // namespace brevak::campaign
