#ifndef BREVAK_TESTS_SUPPORT_BLACKBOX_H_
#define BREVAK_TESTS_SUPPORT_BLACKBOX_H_

// Running the built tool from outside, as a user's machine runs it: a Wine
// prefix in WINEPREFIX, the scripted window system through BREVAK_UI_SCRIPT,
// the transcript read from standard output.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brevak::testing {

// How to start one run of the tool.
struct ToolLaunch {
  std::filesystem::path executable;  // empty: the built brevak-upgrade
  std::filesystem::path prefix;      // WINEPREFIX
  std::string script;                // the UI script's text
  std::filesystem::path working_dir; // empty: the test's own
  // A guard, not a measurement: a run still going after this long is
  // killed and reported as timed out, so a hang fails instead of blocking.
  std::chrono::seconds timeout{90};
};

// What one run left behind.
struct ToolRun {
  std::vector<std::string> transcript;  // standard output, a line each
  std::string stderr_text;
  int exit_code = -1;  // the exit status; -1 when ended by a signal
  int signal = 0;      // the signal that ended it, 0 when it exited
  bool timed_out = false;

  // The transcript lines that start with `start`.
  std::vector<std::string> LinesStartingWith(const std::string& start) const;
  // The whole transcript and standard error, for failure messages.
  std::string Describe() const;
};

// One running tool process. The destructor kills and reaps a process that
// is still running.
class ToolProcess {
 public:
  explicit ToolProcess(const ToolLaunch& launch);
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // Reads the transcript until a line satisfies `wanted` (true), or the
  // output ends or the guard runs out (false).
  bool WaitForLine(const std::function<bool(const std::string&)>& wanted);
  bool WaitForLine(const std::string& line);
  // Sends SIGKILL (the process may have ended already).
  void Kill();
  // Reads the rest of the output and reaps the process.
  ToolRun Finish();

 private:
  // Reads what is available, waiting until the deadline. False when both
  // streams have ended or the deadline passed.
  bool ReadSome();
  void TakeLines();

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::filesystem::path script_file_;
  std::chrono::steady_clock::time_point deadline_;
  std::string out_partial_;
  size_t lines_seen_ = 0;
  ToolRun run_;
};

// Runs the tool to its end.
ToolRun RunTool(const ToolLaunch& launch);

// The path of the built tool.
std::filesystem::path BuiltTool();

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_BLACKBOX_H_
