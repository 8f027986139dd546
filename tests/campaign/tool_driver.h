#ifndef BREVAK_TESTS_CAMPAIGN_TOOL_DRIVER_H_
#define BREVAK_TESTS_CAMPAIGN_TOOL_DRIVER_H_

// Runs the built tool as its user would, through the scripted window
// system, answering whatever it asks as it asks it.
//
// The script is a pipe that BREVAK_UI_SCRIPT names (/dev/fd/3). The driver
// writes one line at a time and, after each, a comment line ("#"), which the
// script reader skips wherever it reads. Once the pipe is empty again the
// tool has read that comment, so it is waiting for its next line: at a
// message box when the transcript's last message has no answer yet,
// otherwise for the user's next action. So every question gets an answer
// chosen when it is seen, and no answer is ever given to a question that
// was not asked.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "campaign/messages.h"

namespace brevak::campaign {

// A user action after the start prompt.
struct DriverAction {
  enum class Kind { kClick, kSelectNewestBackup };
  Kind kind = Kind::kClick;
  std::string control;  // for kClick: CmdUpdate, cmdGetHistory, CmdRestore
};

// How the user answers: Yes to the start prompt (the user runs the tool to
// use it); each later question by a draw from `seed`, the first of them
// Yes with probability `first_yes`, the others with `yes`; or the first
// of them answered `first_answer` (yes, no or cancel) when that is set.
struct AnswerPolicy {
  uint64_t seed = 0;
  double first_yes = 0.5;
  double yes = 0.5;
  std::string first_answer;
};

struct DriverLaunch {
  std::vector<std::string> wrapper;  // the command line before the tool (strace ...); empty: none
  std::filesystem::path tool;
  std::filesystem::path prefix;      // WINEPREFIX
  std::vector<std::string> environment;  // further NAME=value for the tool (TZ, test knobs)
  std::filesystem::path stderr_file;
  std::vector<DriverAction> actions;
  // Called with the entry's name once the newest backup is chosen, before
  // the tool hears of the choice.
  std::function<void(const std::string&)> on_select;
  AnswerPolicy answers;
  double kill_at = -1;               // seconds after the start; negative: no kill
  std::function<bool()> kill_when;   // asked as the run goes; true: kill it now
  struct Event {
    double at_seconds;               // after the start
    std::function<void()> fire;      // called once, from the driver's loop
  };
  std::vector<Event> events;
  double timeout_seconds = 300;      // a guard against a hang: then killed and reported
};

struct DriverResult {
  std::vector<std::string> transcript;
  std::vector<Message> messages;
  int exit_code = -1;        // from the transcript's exit line; -1 when none
  bool killed = false;       // by the launch's kill
  bool timed_out = false;
  bool protocol_error = false;
  double seconds = 0;
  std::string selected;      // the backup entry selected; empty when none was listed
  bool restore_clicked = false;
  size_t messages_before_restore = 0;  // messages shown before the restore's click
  // Whether the run ended by itself (an exit line), not by a kill or the guard.
  bool Ended() const { return !killed && !timed_out && exit_code >= 0; }
};

DriverResult RunTool(const DriverLaunch& launch);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_TOOL_DRIVER_H_
