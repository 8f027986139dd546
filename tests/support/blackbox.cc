#include "support/blackbox.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include "support/tool_environment.h"

namespace brevak::testing {
namespace fs = std::filesystem;
namespace {

// A script file of its own for each run, outside the prefix, so that the
// prefix holds only what the tool and the test put there.
fs::path WriteScript(const std::string& script) {
  std::string pattern = (fs::temp_directory_path() / "brevak-script-XXXXXX").string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  close(fd);
  std::ofstream out(pattern, std::ios::binary | std::ios::trunc);
  out << script;
  if (!out) throw std::runtime_error("cannot write " + pattern);
  return pattern;
}

// In the child: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(int out_fd, int err_fd, const char* dir, char* const argv[],
                            char* const envp[]) {
  dup2(out_fd, STDOUT_FILENO);
  dup2(err_fd, STDERR_FILENO);
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd >= 0) dup2(null_fd, STDIN_FILENO);
  if (dir != nullptr && chdir(dir) != 0) _exit(126);
  execve(argv[0], argv, envp);
  _exit(127);
}

}  // namespace

fs::path BuiltTool() { return BREVAK_TOOL_EXE; }

std::vector<std::string> ToolRun::LinesStartingWith(const std::string& start) const {
  std::vector<std::string> lines;
  for (const std::string& line : transcript) {
    if (line.rfind(start, 0) == 0) lines.push_back(line);
  }
  return lines;
}

std::string ToolRun::Describe() const {
  std::string text = "transcript:\n";
  for (const std::string& line : transcript) text += "  " + line + "\n";
  text += "stderr:\n" + stderr_text;
  text += "\nexit " + std::to_string(exit_code) + ", signal " + std::to_string(signal) +
          (timed_out ? ", timed out" : "") + "\n";
  return text;
}

ToolProcess::ToolProcess(const ToolLaunch& launch) {
  script_file_ = WriteScript(launch.script);
  std::vector<std::string> env = ToolEnvironment(launch.prefix, script_file_.string());
  std::vector<std::string> args = {(launch.executable.empty() ? BuiltTool() : launch.executable).string()};
  std::vector<char*> envp = ExecPointers(env);
  std::vector<char*> argv = ExecPointers(args);
  const std::string dir = launch.working_dir.string();
  int out_pipe[2], err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  deadline_ = std::chrono::steady_clock::now() + launch.timeout;
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) ExecChild(out_pipe[1], err_pipe[1], dir.empty() ? nullptr : dir.c_str(), argv.data(), envp.data());
  close(out_pipe[1]);
  close(err_pipe[1]);
  out_fd_ = out_pipe[0];
  err_fd_ = err_pipe[0];
}

ToolProcess::~ToolProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_fd_ >= 0) close(out_fd_);
  if (err_fd_ >= 0) close(err_fd_);
  std::error_code ec;
  fs::remove(script_file_, ec);
}

bool ToolProcess::ReadSome() {
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (out_fd_ < 0 && err_fd_ < 0) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline_ - std::chrono::steady_clock::now());
  if (left.count() <= 0) {
    run_.timed_out = true;
    return false;
  }
  const int ready = poll(fds, 2, static_cast<int>(left.count()));
  if (ready < 0 && errno == EINTR) return true;
  if (ready <= 0) return ReadSome();
  char buffer[65536];
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
    if (got > 0) {
      (i == 0 ? out_partial_ : run_.stderr_text).append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      close(fds[i].fd);
      (i == 0 ? out_fd_ : err_fd_) = -1;
    }
  }
  TakeLines();
  return true;
}

void ToolProcess::TakeLines() {
  size_t start = 0;
  for (size_t end; (end = out_partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    run_.transcript.push_back(out_partial_.substr(start, end - start));
  }
  out_partial_.erase(0, start);
}

bool ToolProcess::WaitForLine(const std::function<bool(const std::string&)>& wanted) {
  for (;;) {
    while (lines_seen_ < run_.transcript.size()) {
      if (wanted(run_.transcript[lines_seen_++])) return true;
    }
    if (!ReadSome()) return false;
  }
}

bool ToolProcess::WaitForLine(const std::string& line) {
  return WaitForLine([&](const std::string& seen) { return seen == line; });
}

void ToolProcess::Kill() {
  if (pid_ > 0) kill(pid_, SIGKILL);
}

ToolRun ToolProcess::Finish() {
  while (ReadSome()) {
  }
  if (!out_partial_.empty()) run_.transcript.push_back(out_partial_);
  out_partial_.clear();
  if (run_.timed_out) kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  if (WIFEXITED(status)) run_.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run_.signal = WTERMSIG(status);
  return run_;
}

ToolRun RunTool(const ToolLaunch& launch) { return ToolProcess(launch).Finish(); }

}  // namespace brevak::testing
