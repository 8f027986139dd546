#include "campaign/db_holder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "campaign/carried_tables.h"

namespace brevak::campaign {
namespace {

// The file as a URI that opens it read-write and never creates it: a
// program that finds no database must not leave an empty one behind.
std::string ExistingFileUri(const std::filesystem::path& file) {
  std::string uri = "file:";
  for (char c : file.string()) {
    if (c == '?' || c == '#' || c == '%') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  return uri + "?mode=rw";
}

std::string OpeningCommands(bool keyed, HoldMode mode) {
  std::string commands = ".bail on\n.timeout 3000\n";
  if (keyed) commands += std::string("PRAGMA key = '") + kCustomerKey + "';\n";
  if (mode == HoldMode::kRead) commands += "BEGIN;\n";
  if (mode == HoldMode::kWrite) commands += "BEGIN IMMEDIATE;\n";
  // The count reads the file: the shell has it open (and the read
  // transaction its shared lock) once the word comes back.
  return commands + "SELECT count(*) FROM sqlite_master;\nSELECT 'held';\n";
}

}  // namespace

const char* HoldModeName(HoldMode mode) {
  switch (mode) {
    case HoldMode::kOpen: return "open";
    case HoldMode::kRead: return "in a read transaction";
    case HoldMode::kWrite: return "in a write transaction";
  }
  return "?";
}

DbHolder::DbHolder(const std::filesystem::path& file, bool keyed, HoldMode mode, const std::filesystem::path& errors)
    : mode_(mode), errors_(errors) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    const int err_fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err_fd, 2);
    const char* shell = keyed ? "sqlcipher" : "sqlite3";
    const std::string uri = ExistingFileUri(file);
    execlp(shell, shell, "-batch", uri.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  in_fd_ = in[1];
  out_fd_ = out[0];
  Send(OpeningCommands(keyed, mode));
}

DbHolder::~DbHolder() { Release(); }

void DbHolder::Send(const std::string& text) {
  if (in_fd_ >= 0 && write(in_fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    close(in_fd_);
    in_fd_ = -1;
  }
}

bool DbHolder::WaitFor(const std::string& word, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (output_.find(word + "\n") == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || out_fd_ < 0) return false;
    pollfd fd{out_fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(out_fd_, buffer, sizeof buffer);
    if (got <= 0) return false;  // the shell ended: .bail on stopped it at an error
    output_.append(buffer, static_cast<size_t>(got));
  }
  return true;
}

bool DbHolder::WaitHeld(double seconds) { return WaitFor("held", seconds); }

bool DbHolder::CommitInsert(const std::string& insert) {
  Send(insert + ";\n" + (mode_ == HoldMode::kOpen ? "" : "COMMIT;\n") + "SELECT 'committed';\n");
  return WaitFor("committed", 10);
}

std::string DbHolder::LastError() const {
  std::ifstream in(errors_);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  return last.empty() ? "no message" : last;
}

void DbHolder::Release() {
  if (in_fd_ >= 0) close(in_fd_);
  in_fd_ = -1;
  if (pid_ > 0) {
    // The shell ends at the end of its input; a stuck one is killed.
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      usleep(10000);
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (out_fd_ >= 0) close(out_fd_);
  out_fd_ = -1;
}

}  // namespace brevak::campaign
