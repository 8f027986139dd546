#include "campaign/schedule_pool.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <sstream>
#include <stdexcept>

namespace brevak::campaign {
namespace {

constexpr char kEnd[] = "end\n";

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) _exit(3);
    done += static_cast<size_t>(wrote);
  }
}

[[noreturn]] void Work(int fd, int first, int count, int jobs, int worker,
                       const std::function<ScheduleOutcome(int)>& run) {
  for (int i = first + worker; i < first + count; i += jobs) {
    ScheduleOutcome outcome;
    try {
      outcome = run(i);
    } catch (const std::exception& e) {
      outcome.harness_errors = 1;
      outcome.violations.push_back("harness: " + std::string(e.what()));
    }
    WriteAll(fd, SerializeOutcome(i, outcome));
  }
  std::fflush(nullptr);
  _exit(0);
}

// Hands every complete outcome in `buffer` to `done`.
void TakeOutcomes(std::string& buffer, const std::function<void(int, const ScheduleOutcome&)>& done) {
  for (size_t end; (end = buffer.find(kEnd)) != std::string::npos;) {
    int index = 0;
    ScheduleOutcome outcome;
    if (!ParseOutcome(buffer.substr(0, end), &index, &outcome)) throw std::runtime_error("a worker's outcome is garbled");
    buffer.erase(0, end + sizeof kEnd - 1);
    done(index, outcome);
  }
}

}  // namespace

std::string SerializeOutcome(int index, const ScheduleOutcome& o) {
  std::ostringstream out;
  out << "schedule " << index << "\n";
  out << "counts " << o.rows_lost << " " << o.false_successes << " " << o.hangs << " " << o.harness_errors << " "
      << o.runs << " " << o.kills << " " << o.injected << " " << o.held << " " << o.done_outside << " "
      << o.tampered << " " << o.in_place << " " << o.folders_touched << " " << o.wrong_data << " " << o.records_left
      << " " << o.piled_folders << "\n";
  for (const std::string& step : o.steps) out << "step " << OneLine(step) << "\n";
  for (const std::string& violation : o.violations) out << "violation " << OneLine(violation) << "\n";
  return out.str() + kEnd;
}

bool ParseOutcome(const std::string& text, int* index, ScheduleOutcome* o) {
  std::istringstream in(text);
  std::string line;
  bool have_index = false, have_counts = false;
  while (std::getline(in, line)) {
    const size_t space = line.find(' ');
    const std::string word = line.substr(0, space), rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "schedule") {
      have_index = static_cast<bool>(std::istringstream(rest) >> *index);
    } else if (word == "counts") {
      have_counts = static_cast<bool>(std::istringstream(rest) >> o->rows_lost >> o->false_successes >> o->hangs >>
                                      o->harness_errors >> o->runs >> o->kills >> o->injected >> o->held >>
                                      o->done_outside >> o->tampered >> o->in_place >> o->folders_touched >>
                                      o->wrong_data >> o->records_left >> o->piled_folders);
    } else if (word == "step") {
      o->steps.push_back(rest);
    } else if (word == "violation") {
      o->violations.push_back(rest);
    }
  }
  return have_index && have_counts;
}

void RunSchedules(int first, int count, int jobs, const std::function<ScheduleOutcome(int)>& run,
                  const std::function<void(int, const ScheduleOutcome&)>& done) {
  if (jobs <= 1) {
    for (int i = first; i < first + count; ++i) done(i, run(i));
    return;
  }
  std::fflush(nullptr);
  std::vector<pollfd> fds;
  std::vector<pid_t> pids;
  std::vector<std::string> buffers;
  for (int worker = 0; worker < jobs && worker < count; ++worker) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
      close(ends[0]);
      for (const pollfd& other : fds) close(other.fd);
      Work(ends[1], first, count, jobs, worker, run);
    }
    close(ends[1]);
    fds.push_back({ends[0], POLLIN, 0});
    pids.push_back(pid);
    buffers.emplace_back();
  }
  for (size_t open = fds.size(); open > 0;) {
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
    for (size_t w = 0; w < fds.size(); ++w) {
      if (fds[w].fd < 0 || fds[w].revents == 0) continue;
      char chunk[8192];
      const ssize_t got = read(fds[w].fd, chunk, sizeof chunk);
      if (got > 0) {
        buffers[w].append(chunk, static_cast<size_t>(got));
        TakeOutcomes(buffers[w], done);
        continue;
      }
      close(fds[w].fd);
      fds[w].fd = -1;
      --open;
    }
  }
  for (pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("a worker ended abnormally");
  }
}

}  // namespace brevak::campaign
