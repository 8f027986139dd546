#include "campaign/syscall_fault.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

struct LogLine {
  std::string pid, syscall, args;
  bool injected = false;
};

// "PID name(args...) = result" or "PID name(args... <unfinished ...>";
// false for resumed halves, signals and exits.
bool ParseLine(const std::string& line, LogLine* out) {
  const size_t space = line.find(' ');
  if (space == std::string::npos) return false;
  const size_t name = line.find_first_not_of(' ', space);  // strace pads short process numbers
  const size_t open = line.find('(', space);
  if (name == std::string::npos || open == std::string::npos || open < name) return false;
  out->pid = line.substr(0, space);
  out->syscall = line.substr(name, open - name);
  if (out->syscall.empty() || out->syscall.find_first_of(" <+-") != std::string::npos) return false;
  out->args = line.substr(open + 1);
  out->injected = line.find("(INJECTED)") != std::string::npos;
  return true;
}

// strace's C-style escapes (\ooo, \xhh, \", \\) taken back to bytes.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[i + 1];
    if (next >= '0' && next <= '7') {
      int value = 0, digits = 0;
      while (digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
        value = value * 8 + (text[++i] - '0');
        ++digits;
      }
      out += static_cast<char>(value);
    } else if (next == 'x' && i + 3 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
      ++i;
    }
  }
  return out;
}

// The n-th (from 0) "<path>" that -y prints after a descriptor.
std::string FdPath(const std::string& args, int n) {
  size_t at = 0;
  for (int seen = 0;; ++seen) {
    const size_t open = args.find('<', at);
    if (open == std::string::npos || open == 0 || args[open - 1] < '0' || args[open - 1] > '9') return "";
    const size_t close = args.find(">,", open);
    const size_t end = close == std::string::npos ? args.find('>', open) : close;
    if (end == std::string::npos) return "";
    if (seen == n) return Unescape(args.substr(open + 1, end - open - 1));
    at = end + 1;
  }
}

// The last quoted string of the arguments: a rename's new name.
std::string LastQuoted(const std::string& args) {
  std::string last;
  for (size_t at = 0;;) {
    const size_t open = args.find('"', at);
    if (open == std::string::npos) return last;
    size_t close = open + 1;
    while (close < args.size() && args[close] != '"') close += args[close] == '\\' ? 2 : 1;
    last = Unescape(args.substr(open + 1, close - open - 1));
    at = close + 1;
  }
}

std::string Target(const LogLine& line) {
  if (line.syscall.rfind("rename", 0) == 0) return LastQuoted(line.args);
  if (line.syscall == "copy_file_range") return FdPath(line.args, 1);
  return FdPath(line.args, 0);
}

bool Inside(const std::string& path, const std::string& root) {
  return path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

}  // namespace

const std::vector<std::string>& FaultableSyscalls() {
  static const std::vector<std::string> syscalls = {"write",  "pwrite64", "copy_file_range", "fsync",
                                                    "fdatasync", "rename",  "renameat",        "renameat2"};
  return syscalls;
}

std::vector<std::string> StraceCommand(const fs::path& log, const std::vector<std::string>& syscalls,
                                       const SyscallCall* inject, const std::string& error) {
  std::string set;
  for (const std::string& name : syscalls) set += (set.empty() ? "" : ",") + name;
  std::vector<std::string> command = {"strace", "-f", "-qq", "-y", "-o", log.string(), "-e", "trace=" + set,
                                      "-e", "signal=none"};
  if (inject != nullptr) {
    command.push_back("-e");
    const std::string what = error == kKillAtCall ? "signal=KILL" : "error=" + error;
    command.push_back("inject=" + inject->syscall + ":" + what + ":when=" + std::to_string(inject->index));
  }
  return command;
}

std::vector<SyscallCall> CallsInside(const fs::path& log, const fs::path& root) {
  std::ifstream in(log);
  std::map<std::string, int> counts;
  std::string main_pid, text;
  std::vector<SyscallCall> calls;
  while (std::getline(in, text)) {
    LogLine line;
    if (!ParseLine(text, &line)) continue;
    if (main_pid.empty()) main_pid = line.pid;
    if (line.pid != main_pid) continue;  // strace counts each process's calls apart
    const int index = ++counts[line.syscall];
    const std::string target = Target(line);
    if (Inside(target, root.string())) calls.push_back({line.syscall, index, target});
  }
  return calls;
}

bool FindInjected(const fs::path& log, SyscallCall* call) {
  std::ifstream in(log);
  std::map<std::string, int> counts;
  std::string text;
  while (std::getline(in, text)) {
    LogLine line;
    if (!ParseLine(text, &line)) continue;
    const int index = ++counts[line.pid + " " + line.syscall];
    if (!line.injected) continue;
    *call = {line.syscall, index, Target(line)};
    return true;
  }
  return false;
}

bool StraceWorks() {
  return std::system("strace -f -qq -o /dev/null -e trace=none true >/dev/null 2>&1") == 0;
}

}  // namespace brevak::campaign
