#include "campaign/campaign.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "campaign/carried_tables.h"
#include "campaign/db_holder.h"
#include "campaign/messages.h"
#include "campaign/shop_prefix.h"
#include "campaign/shop_work.h"
#include "campaign/syscall_fault.h"
#include "campaign/tool_driver.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kUpdateDone[] = "升级完成";
constexpr char kStartPrompt[] = "升级程序升级和备份本机数据";
constexpr int64_t kHolderRowId = 9000000;

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

// The host path as the user sees it: C:\Brevak\Addr.mdb. Paths through
// dosdevices/c: and drive_c alike.
std::string UserPath(const fs::path& prefix, const std::string& host) {
  for (const std::string& drive : {(prefix / "drive_c").string(), (prefix / "dosdevices" / "c:").string()}) {
    if (host.rfind(drive + "/", 0) == 0) return WindowsPath(prefix, prefix / "drive_c" / host.substr(drive.size() + 1));
  }
  return host;
}

// What a run said, after the start prompt, and how it ended.
std::string DescribeRun(const DriverResult& result) {
  std::string text;
  for (const Message& message : result.messages) {
    if (message.text.rfind(kStartPrompt, 0) == 0) continue;
    text += (text.empty() ? "" : "; ") + Abbreviate(message);
  }
  if (result.restore_clicked) text = "restored " + result.selected + (text.empty() ? "" : ": " + text);
  if (text.empty()) text = "no message";
  if (result.timed_out) return text + " [hung: killed after " + Seconds(result.seconds) + "]";
  if (result.killed) return text + " [killed at " + Seconds(result.seconds) + "]";
  return text + " [exit " + std::to_string(result.exit_code) + "]";
}

class ScheduleRunner {
 public:
  ScheduleRunner(const SchedulePlan& plan, const CampaignSetup& setup);
  ~ScheduleRunner();
  ScheduleOutcome Run();

 private:
  void RunStep(const StepPlan& step);
  void WorkStep(const StepPlan& step);
  void ToolStep(const StepPlan& step);
  DriverLaunch BaseLaunch(const StepPlan& step, const fs::path& prefix) const;
  double UsualSeconds(StepKind kind) const;
  // A dry run of the step on a copy of the shop, traced: the call to fail.
  bool ChooseCall(const StepPlan& step, SyscallCall* call);
  void Check(const StepPlan& step, const DriverResult& result, const FolderRows& before, const RowSet& beside,
             const std::vector<fs::path>& folders_before);
  void FalseSuccess(const StepPlan& step, const DriverResult& result, const std::vector<RowSet>& owed,
                    const RowSet& after);
  void Violation(const std::string& what);
  void Keep();

  const SchedulePlan& plan_;
  const CampaignSetup& setup_;
  fs::path dir_, prefix_, install_;
  ScheduleOutcome outcome_;
  std::mt19937_64 rng_;
  int step_number_ = 0;
  int run_number_ = 0;
  std::vector<RowSet> owed_;               // rows of killed runs, owed by the next run
  std::vector<Message> episode_messages_;  // what the killed runs said
  Origin work_{"work", {}}, beside_{"beside", {}};
};

ScheduleRunner::ScheduleRunner(const SchedulePlan& plan, const CampaignSetup& setup)
    : plan_(plan), setup_(setup), rng_(plan.run_seed) {
  dir_ = setup.work / ("schedule-" + std::to_string(plan.index));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  prefix_ = fs::canonical(dir_) / "prefix";
  CopyPrefix(plan.lacks_huifang_kind ? setup.older_template : setup.full_template, prefix_);
  install_ = InstallDir(prefix_);
}

ScheduleRunner::~ScheduleRunner() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

ScheduleOutcome ScheduleRunner::Run() {
  for (const StepPlan& step : plan_.steps) RunStep(step);
  // A schedule never ends on a killed run: the user runs the tool again.
  for (int again = 0; !owed_.empty() && again < 2; ++again) RunStep(StepPlan{StepKind::kUpdate, {}, {rng_()}, 0});
  if (!outcome_.violations.empty()) Keep();
  return outcome_;
}

void ScheduleRunner::RunStep(const StepPlan& step) {
  ++step_number_;
  if (step.kind == StepKind::kWork) return WorkStep(step);
  ToolStep(step);
}

void ScheduleRunner::WorkStep(const StepPlan& step) {
  const WorkDone done = WorkOn(install_, step.work_rows, rng_);
  work_.parts.push_back(done.added);
  outcome_.steps.push_back(std::to_string(step_number_) + " work on in Brevak: " + done.Summary());
}

double ScheduleRunner::UsualSeconds(StepKind kind) const {
  return kind == StepKind::kRestore ? setup_.restore_seconds : setup_.update_seconds;
}

DriverLaunch ScheduleRunner::BaseLaunch(const StepPlan& step, const fs::path& prefix) const {
  DriverLaunch launch;
  launch.tool = PackageTool(prefix);
  launch.prefix = prefix;
  launch.stderr_file = dir_ / ("run-" + std::to_string(run_number_) + ".stderr");
  launch.answers = step.answers;
  launch.timeout_seconds = setup_.timeout_seconds;
  using Kind = DriverAction::Kind;
  if (step.kind == StepKind::kRestore) {
    launch.actions = {{Kind::kClick, "cmdGetHistory"}, {Kind::kSelectNewestBackup, ""}, {Kind::kClick, "CmdRestore"}};
  } else {
    launch.actions = {{Kind::kClick, "CmdUpdate"}};
  }
  return launch;
}

bool ScheduleRunner::ChooseCall(const StepPlan& step, SyscallCall* call) {
  const fs::path dry = dir_ / "dry";
  fs::remove_all(dry);
  CopyPrefix(prefix_, dry);
  DriverLaunch launch = BaseLaunch(step, dry);
  const fs::path log = dir_ / "dry.strace";
  launch.wrapper = StraceCommand(log, FaultableSyscalls());
  RunTool(launch);
  std::vector<SyscallCall> calls = CallsInside(log, dry);
  fs::remove_all(dry);
  // Name the files as the real run will see them.
  for (SyscallCall& c : calls) c.target = (prefix_ / fs::path(c.target).lexically_relative(dry)).string();
  std::vector<std::string> names;
  for (const SyscallCall& c : calls) {
    if (std::find(names.begin(), names.end(), c.syscall) == names.end()) names.push_back(c.syscall);
  }
  if (names.empty()) return false;
  const std::string& name = names[static_cast<size_t>(step.fault.pick_syscall * names.size())];
  std::vector<SyscallCall> of_name;
  for (const SyscallCall& c : calls) {
    if (c.syscall == name) of_name.push_back(c);
  }
  *call = of_name[static_cast<size_t>(step.fault.pick_call * of_name.size())];
  return true;
}

void ScheduleRunner::ToolStep(const StepPlan& step) {
  ++run_number_;
  ++outcome_.runs;
  const FolderRows before = ReadFolder(install_);
  const std::vector<fs::path> folders_before = DatabaseFolders(prefix_);
  DriverLaunch launch = BaseLaunch(step, prefix_);
  const FaultPlan& fault = step.fault;
  std::string fault_text = DescribeFault(fault);
  std::unique_ptr<DbHolder> holder;
  std::string insert_sql;
  RowSet insert_row;
  const fs::path log = dir_ / ("run-" + std::to_string(run_number_) + ".strace");
  std::string launch_target;
  if (fault.kind == FaultKind::kKill) {
    launch.kill_at = fault.when * UsualSeconds(step.kind);
    fault_text = "SIGKILL at " + Seconds(launch.kill_at);
  } else if (fault.kind == FaultKind::kSyscall) {
    SyscallCall call;
    if (ChooseCall(step, &call)) {
      launch_target = call.target;
      launch.wrapper = StraceCommand(log, {call.syscall}, &call, fault.error);
      fault_text = fault.error + " on " + call.syscall + " #" + std::to_string(call.index) + " (" +
                   UserPath(prefix_, call.target) + ")";
    } else {
      fault_text = fault.error + ": the run makes no call to fail";
    }
  } else if (fault.kind == FaultKind::kHolder) {
    const fs::path file = install_ / fault.file;
    const bool keyed = fault.file == kCustomerFile;
    const fs::path errors = dir_ / ("run-" + std::to_string(run_number_) + ".holder-stderr");
    if (fault.before) {
      std::string table;
      TableRows row;
      if (HolderInsert(file, kHolderRowId + run_number_, rng_, &table, &insert_sql, &row)) insert_row[table] = row;
      holder = std::make_unique<DbHolder>(file, keyed, fault.mode, errors);
      if (!holder->WaitHeld(20)) fault_text += " (the program could not open it)";
    } else {
      const double start = fault.when * UsualSeconds(step.kind);
      launch.events.push_back({start, [&holder, file, keyed, &fault, errors] {
                                 holder = std::make_unique<DbHolder>(file, keyed, fault.mode, errors);
                               }});
      launch.events.push_back({start + fault.hold_seconds, [&holder] { holder.reset(); }});
    }
  }
  const DriverResult result = RunTool(launch);
  RowSet beside;
  std::string unsaved;
  if (holder && fault.before && result.Ended() && !insert_row.empty()) {
    if (holder->CommitInsert(insert_sql)) {
      beside = insert_row;
      beside_.parts.push_back(beside);
      fault_text += "; it then saved a row in " + insert_row.begin()->first;
    } else {
      unsaved = holder->LastError();
      fault_text += "; its next save failed";
    }
  }
  holder.reset();
  {
    std::ofstream out(dir_ / ("run-" + std::to_string(run_number_) + ".transcript"));
    for (const std::string& line : result.transcript) out << line << '\n';
  }
  SyscallCall injected;
  if (!launch.wrapper.empty() && FindInjected(log, &injected)) {
    ++outcome_.injected;
    if (injected.target.rfind(prefix_.string() + "/", 0) != 0) {
      ++outcome_.harness_errors;
      Violation("harness: the injected error hit " + injected.target + ", not a file of the shop");
    } else if (UserPath(prefix_, injected.target) != UserPath(prefix_, launch_target)) {
      fault_text += ", hit " + UserPath(prefix_, injected.target);
    }
  } else if (!launch.wrapper.empty()) {
    fault_text += ", not reached";
  }
  if (fault.kind == FaultKind::kKill && result.killed) ++outcome_.kills;
  if (fault.kind == FaultKind::kHolder) ++outcome_.held;
  if (result.protocol_error) {
    ++outcome_.harness_errors;
    Violation("harness: protocol error in the transcript: " + result.transcript.back());
  }
  const bool record = fs::exists(install_ / "upgrade-in-progress.brevak");
  outcome_.steps.push_back(std::to_string(step_number_) + " " + StepName(step.kind) + " (" + fault_text + "): " +
                           DescribeRun(result) + (record ? " [record left]" : ""));
  episode_messages_.insert(episode_messages_.end(), result.messages.begin(), result.messages.end());
  if (!result.Ended()) {
    if (result.timed_out) {
      ++outcome_.hangs;
      Violation("the run did not end within " + Seconds(setup_.timeout_seconds));
    }
    owed_.push_back(before.tables);
    return;
  }
  if (!unsaved.empty()) {
    // The run replaced the database under the other program: the work it
    // then saved is lost to its user.
    ++outcome_.rows_lost;
    Violation("1 row lost: another program had " + fault.file + " " + HoldModeName(fault.mode) +
              " from before the run, and its next save failed: " + unsaved);
  }
  Check(step, result, before, beside, folders_before);
}

void ScheduleRunner::Check(const StepPlan& step, const DriverResult& result, const FolderRows& before,
                           const RowSet& beside, const std::vector<fs::path>& folders_before) {
  // What is owed: the rows before this run, the row another program saved
  // beside it, and those of killed runs that neither of them holds.
  std::vector<RowSet> owed = {before.tables};
  if (!beside.empty()) owed.push_back(beside);
  for (auto it = owed_.rbegin(); it != owed_.rend(); ++it) {
    std::vector<const RowSet*> newer;
    for (const RowSet& set : owed) newer.push_back(&set);
    RowSet rest = RowsNowhere(*it, newer);
    if (!rest.empty()) owed.push_back(std::move(rest));
  }
  owed_.clear();
  const FolderRows after = ReadFolder(install_);
  std::vector<FolderRows> named;
  std::string named_text;
  for (const fs::path& folder : NamedFolders(prefix_, episode_messages_)) {
    named.push_back(ReadFolder(folder));
    named_text += (named_text.empty() ? "" : ", ") + WindowsPath(prefix_, folder);
  }
  // A restore that ends without a word is a plain success: the data it
  // replaced is in the new backup the history lists.
  const bool silent_restore = step.kind == StepKind::kRestore && result.restore_clicked && result.exit_code == 0 &&
                              result.messages.size() == result.messages_before_restore;
  if (silent_restore) {
    for (const fs::path& folder : DatabaseFolders(prefix_)) {
      if (std::find(folders_before.begin(), folders_before.end(), folder) == folders_before.end()) {
        named.push_back(ReadFolder(folder));
        named_text += (named_text.empty() ? "" : ", ") + WindowsPath(prefix_, folder) + " (the restore's new backup)";
      }
    }
  }
  std::vector<const RowSet*> places = {&after.tables};
  for (const FolderRows& folder : named) places.push_back(&folder.tables);
  int64_t lost = 0;
  std::string lost_text;
  for (const RowSet& set : owed) {
    const RowSet nowhere = RowsNowhere(set, places);
    if (nowhere.empty()) continue;
    lost += CountRows(nowhere);
    lost_text += (lost_text.empty() ? "" : " + ") + DescribeRows(nowhere, {&work_, &beside_, &setup_.shop, &setup_.package});
  }
  if (lost > 0) {
    outcome_.rows_lost += lost;
    Violation(std::to_string(lost) + " rows lost: " + lost_text +
              " in neither the installation nor a folder a message named (" +
              (named_text.empty() ? "none named" : named_text) + ")" +
              (after.problems.empty() ? "" : "; installation: " + after.problems.front()));
  }
  FalseSuccess(step, result, owed, after.tables);
  episode_messages_.clear();
}

void ScheduleRunner::FalseSuccess(const StepPlan& step, const DriverResult& result, const std::vector<RowSet>& owed,
                                  const RowSet& after) {
  for (size_t p = 0; p < result.messages.size(); ++p) {
    if (result.messages[p].text != kUpdateDone) continue;
    const std::vector<Message> later(result.messages.begin() + static_cast<long>(p) + 1, result.messages.end());
    std::vector<FolderRows> named;
    for (const fs::path& folder : NamedFolders(prefix_, later)) named.push_back(ReadFolder(folder));
    std::vector<const RowSet*> places = {&after};
    for (const FolderRows& folder : named) places.push_back(&folder.tables);
    int64_t missing = 0;
    RowSet first;
    for (const RowSet& set : owed) {
      const RowSet nowhere = RowsNowhere(set, places);
      missing += CountRows(nowhere);
      if (first.empty()) first = nowhere;
    }
    if (missing == 0) continue;
    ++outcome_.false_successes;
    Violation("false success: \"升级完成\" while " + std::to_string(missing) +
              " rows of before the run are not in the installation (" +
              DescribeRows(first, {&work_, &beside_, &setup_.shop, &setup_.package}) + (owed.size() > 1 ? ", …" : "") +
              ")");
    return;
  }
  const bool silent_restore = step.kind == StepKind::kRestore && result.restore_clicked && result.exit_code == 0 &&
                              result.messages.size() == result.messages_before_restore;
  if (!silent_restore) return;
  const FolderRows backup = ReadFolder(install_ / result.selected);
  const RowSet missing = RowsNowhere(backup.tables, {&after});
  if (missing.empty()) return;
  ++outcome_.false_successes;
  Violation("false success: the restore of " + result.selected + " said nothing, yet the installation lacks " +
            DescribeRows(missing, {&work_, &beside_, &setup_.shop, &setup_.package}) + " of that backup");
}

void ScheduleRunner::Violation(const std::string& what) {
  outcome_.violations.push_back("step " + std::to_string(step_number_) + ": " + what);
}

void ScheduleRunner::Keep() {
  if (setup_.keep.empty()) return;
  const fs::path target = setup_.keep / ("schedule-" + std::to_string(plan_.index));
  std::error_code ec;
  fs::remove_all(target, ec);
  fs::create_directories(target);
  fs::copy(dir_, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  fs::remove(PackageTool(target / "prefix"), ec);  // a copy of the tool, as large as it is useless here
  std::ofstream out(target / "schedule.txt");
  for (const std::string& line : outcome_.steps) out << line << '\n';
  for (const std::string& line : outcome_.violations) out << "VIOLATION " << line << '\n';
}

}  // namespace

ScheduleOutcome RunSchedule(const SchedulePlan& plan, const CampaignSetup& setup) {
  ScheduleRunner runner(plan, setup);
  return runner.Run();
}

}  // namespace brevak::campaign
