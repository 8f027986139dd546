#include "campaign/campaign.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <tuple>

#include "campaign/carried_tables.h"
#include "campaign/db_holder.h"
#include "campaign/messages.h"
#include "campaign/rejected_schema.h"
#include "campaign/safeguard_judge.h"
#include "campaign/shop_prefix.h"
#include "campaign/shop_work.h"
#include "campaign/syscall_fault.h"
#include "campaign/tamper.h"
#include "campaign/tool_driver.h"
#include "campaign/user_folder.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kUpdateDone[] = "升级完成";
constexpr char kStartPrompt[] = "升级程序升级和备份本机数据";
constexpr int64_t kHolderRowId = 9000000;
constexpr char kCopyInPlace[] = "BREVAK_TEST_COPY_IN_PLACE=1";

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

// A copy's temporary file name without its random part, which differs
// from run to run: .~brevak-Addr.mdb-2ed0fcf42b5a3d54.tmp.
std::string WithoutCopyTag(const std::string& path) {
  static const std::regex tag("-[0-9a-f]{16}\\.tmp$");
  return std::regex_replace(path, tag, ".tmp");
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

// The fault of one run: armed before it, read after it.
struct ArmedFault {
  std::string text;                  // what was done, for the step's line
  fs::path log;                      // strace's log of the run
  std::string target;                // the file of the chosen call, in the run without the fault
  std::unique_ptr<DbHolder> holder;
  std::string insert_sql;            // what a holder from before the run saves once it ends
  RowSet insert_row;
};

// Rows a run owes: those the installation held before step `step`.
struct Owed {
  int step = 0;
  RowSet rows;
};

// Where the rows owed by a run may be after it, and their names.
struct Places {
  FolderRows installation;
  std::vector<FolderRows> folders;
  std::string names;
  std::vector<const RowSet*> All() const;
};

std::vector<const RowSet*> Places::All() const {
  std::vector<const RowSet*> all = {&installation.tables};
  for (const FolderRows& folder : folders) all.push_back(&folder.tables);
  return all;
}

// A restore that ends without a word is a plain success: the data it
// replaced is in the new backup that the history lists.
bool SilentRestore(const StepPlan& step, const DriverResult& result) {
  return step.kind == StepKind::kRestore && result.restore_clicked && (result.exit_code == 0 || result.killed) &&
         result.messages.size() == result.messages_before_restore;
}

class ScheduleRunner {
 public:
  ScheduleRunner(const SchedulePlan& plan, const CampaignSetup& setup);
  ~ScheduleRunner();
  ScheduleOutcome Run();

 private:
  void RunStep(const StepPlan& step);
  void WorkStep(const StepPlan& step);
  void TamperStep(const StepPlan& step);
  void SetUpStep(const StepPlan& step);
  void ToolStep(const StepPlan& step);
  void Judge(const StepPlan& step, const DriverResult& result);
  DriverLaunch BaseLaunch(const StepPlan& step, const fs::path& prefix) const;
  double UsualSeconds(const StepPlan& step) const;
  void ArmFault(const StepPlan& step, DriverLaunch& launch, ArmedFault& armed);
  void ArmHolder(const StepPlan& step, DriverLaunch& launch, ArmedFault& armed);
  // A dry run of the step on a copy of the shop, traced: the call to fail.
  bool ChooseCall(const StepPlan& step, SyscallCall* call);
  std::vector<SyscallCall> DryRunCalls(const StepPlan& step);
  // A dry run likewise: the call of the copy into the installation to kill the run at.
  bool ChooseCopyCall(const StepPlan& step, SyscallCall* call);
  // After the run: the row a holder from before it saves (into `beside`),
  // and what the strace log shows. Returns the holder's error when its save failed.
  std::string SettleHolder(const StepPlan& step, const DriverResult& result, ArmedFault& armed, RowSet* beside);
  void NoteInjection(const StepPlan& step, const DriverLaunch& launch, ArmedFault& armed);
  void SaveTranscript(const DriverResult& result) const;
  void Check(const StepPlan& step, const DriverResult& result, const FolderRows& before, const RowSet& beside,
             const std::vector<fs::path>& folders_before);
  std::vector<Owed> OwedRows(const FolderRows& before, const RowSet& beside);
  // "12 rows (work 12; Repair_Sheet 12)" for each group, with the step
  // before which the installation held them when that was an earlier one.
  std::string DescribeOwed(const std::vector<Owed>& owed, const std::vector<const RowSet*>& places, int64_t* count) const;
  Places PlacesAfter(const StepPlan& step, const DriverResult& result, const std::vector<fs::path>& folders_before);
  void FalseSuccess(const StepPlan& step, const DriverResult& result, const std::vector<Owed>& owed,
                    const RowSet& after);
  std::string Describe(const RowSet& rows) const;
  void Violation(const std::string& what);
  void Keep();

  const SchedulePlan& plan_;
  const CampaignSetup& setup_;
  fs::path dir_, prefix_, install_;
  ScheduleOutcome outcome_;
  std::mt19937_64 rng_;
  int step_number_ = 0;
  int run_number_ = 0;
  std::vector<Owed> owed_;                 // rows of killed runs, owed by the next run
  std::vector<Message> episode_messages_;  // what the killed runs said
  std::string time_zone_;                  // the runs' TZ; empty: this process's
  Origin work_{"work", {}}, beside_{"beside", {}};
  std::optional<SafeguardJudge> judge_;
};

ScheduleRunner::ScheduleRunner(const SchedulePlan& plan, const CampaignSetup& setup)
    : plan_(plan), setup_(setup), rng_(plan.run_seed), time_zone_(plan.time_zone) {
  outcome_.in_place = plan.copy_in_place;
  dir_ = setup.work / ("schedule-" + std::to_string(plan.index));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  prefix_ = fs::canonical(dir_) / "prefix";
  CopyPrefix(plan.lacks_huifang_kind ? setup.older_template : setup.full_template, prefix_);
  install_ = InstallDir(prefix_);
  judge_.emplace(prefix_);
}

ScheduleRunner::~ScheduleRunner() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

ScheduleOutcome ScheduleRunner::Run() {
  for (const StepPlan& step : plan_.steps) RunStep(step);
  // A schedule never ends on a killed run: the user runs the tool again.
  for (int again = 0; !owed_.empty() && again < 2; ++again) {
    StepPlan update;
    update.answers.seed = rng_();
    RunStep(update);
  }
  if (!outcome_.violations.empty()) Keep();
  return outcome_;
}

void ScheduleRunner::RunStep(const StepPlan& step) {
  ++step_number_;
  if (step.kind == StepKind::kWork) return WorkStep(step);
  if (step.kind == StepKind::kTamper) return TamperStep(step);
  if (step.kind == StepKind::kSetUp) return SetUpStep(step);
  ToolStep(step);
}

void ScheduleRunner::SetUpStep(const StepPlan& step) {
  std::string done;
  if (step.set_up.kind == SetUpKind::kUserFolder) {
    judge_->Planted(PlantUserFolder(install_, step.set_up.variant, &done));
  } else {
    done = RejectShopRows(prefix_, step.set_up.variant);
    judge_->SchemaRejected();
  }
  outcome_.steps.push_back(std::to_string(step_number_) + " " + StepName(step.kind) + ": " + done);
}

void ScheduleRunner::Judge(const StepPlan& step, const DriverResult& result) {
  for (const Finding& finding : judge_->After(step, result)) {
    switch (finding.kind) {
      case Finding::Kind::kFalseSuccess: ++outcome_.false_successes; break;
      case Finding::Kind::kWrongData: ++outcome_.wrong_data; break;
      case Finding::Kind::kRecordLeft: ++outcome_.records_left; break;
      case Finding::Kind::kPiledFolder: ++outcome_.piled_folders; break;
      case Finding::Kind::kFolderTouched: ++outcome_.folders_touched; break;
    }
    Violation(finding.text);
  }
}

void ScheduleRunner::TamperStep(const StepPlan& step) {
  ++outcome_.tampered;
  const std::string done = ApplyTamper(prefix_, step.tamper);
  if (step.tamper.kind == TamperKind::kTimeZone) time_zone_ = TimeZoneAfter(step.tamper);
  outcome_.steps.push_back(std::to_string(step_number_) + " " + StepName(step.kind) + " (" +
                           TamperName(step.tamper.kind) + "): " + done);
}

void ScheduleRunner::WorkStep(const StepPlan& step) {
  const WorkDone done = WorkOn(install_, step.work_rows, rng_);
  work_.parts.push_back(done.added);
  outcome_.steps.push_back(std::to_string(step_number_) + " work on in Brevak: " + done.Summary());
}

// A chain's run restores, whatever button starts it.
double ScheduleRunner::UsualSeconds(const StepPlan& step) const {
  return step.kind == StepKind::kRestore || step.chain_link ? setup_.restore_seconds : setup_.update_seconds;
}

DriverLaunch ScheduleRunner::BaseLaunch(const StepPlan& step, const fs::path& prefix) const {
  DriverLaunch launch;
  launch.tool = PackageTool(prefix);
  launch.prefix = prefix;
  if (plan_.copy_in_place) launch.environment.push_back(kCopyInPlace);
  if (!time_zone_.empty()) launch.environment.push_back("TZ=" + time_zone_);
  launch.stderr_file = dir_ / ("run-" + std::to_string(run_number_) + ".stderr");
  launch.answers = step.answers;
  launch.timeout_seconds = setup_.timeout_seconds;
  using Kind = DriverAction::Kind;
  if (step.kind == StepKind::kRestore) {
    launch.actions = {{Kind::kClick, "cmdGetHistory"}, {Kind::kSelectNewestBackup, ""}, {Kind::kClick, "CmdRestore"}};
    if (step.vanish != VanishKind::kNone) {
      const fs::path install = InstallDir(prefix);
      const bool whole = step.vanish == VanishKind::kFolder;
      launch.on_select = [install, whole](const std::string& entry) {
        std::error_code ec;
        if (whole) fs::remove_all(install / entry, ec);
        for (const auto& file : fs::directory_iterator(install / entry, ec)) fs::remove_all(file.path(), ec);
      };
    }
  } else {
    launch.actions = {{Kind::kClick, "CmdUpdate"}};
  }
  return launch;
}

std::vector<SyscallCall> ScheduleRunner::DryRunCalls(const StepPlan& step) {
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
  return calls;
}

bool ScheduleRunner::ChooseCall(const StepPlan& step, SyscallCall* call) {
  const std::vector<SyscallCall> calls = DryRunCalls(step);
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

// The calls that write or rename a database (or a copy's temporary file)
// of the installation once the run has renamed its record into place. The
// copier writes every temporary file first and renames them after, so only
// a kill among the renames leaves some files replaced and others not: half
// of the draws (`when` below 0.5) pick among those.
bool ScheduleRunner::ChooseCopyCall(const StepPlan& step, SyscallCall* call) {
  std::vector<SyscallCall> copying, renames;
  bool recorded = false;
  for (const SyscallCall& c : DryRunCalls(step)) {
    const fs::path target(c.target);
    std::string name = target.filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
    const bool rename = c.syscall.rfind("rename", 0) == 0;
    if (name == "upgrade-in-progress.brevak" && rename) recorded = true;
    const bool database = name == "customerdata.car" || name == "addr.mdb" || name.rfind(".~brevak-", 0) == 0;
    std::error_code ec;  // the run names some paths through dosdevices\c:
    if (!recorded || !database || fs::weakly_canonical(target.parent_path(), ec) != install_) continue;
    copying.push_back(c);
    if (rename) renames.push_back(c);
  }
  const double when = step.fault.when;
  const bool among_renames = when < 0.5 && !renames.empty();
  const std::vector<SyscallCall>& pool = among_renames ? renames : copying;
  if (pool.empty()) return false;
  const double share = among_renames ? when * 2 : (when < 0.5 ? when * 2 : (when - 0.5) * 2);
  *call = pool[std::min(pool.size() - 1, static_cast<size_t>(share * pool.size()))];
  return true;
}

void ScheduleRunner::ArmFault(const StepPlan& step, DriverLaunch& launch, ArmedFault& armed) {
  const FaultPlan& fault = step.fault;
  armed.text = DescribeFault(fault);
  armed.log = dir_ / ("run-" + std::to_string(run_number_) + ".strace");
  if (fault.kind == FaultKind::kKill && fault.mid_copy) {
    SyscallCall call;
    if (ChooseCopyCall(step, &call)) {
      launch.wrapper = StraceCommand(armed.log, {call.syscall}, &call, kKillAtCall);
      armed.text = "SIGKILL at " + call.syscall + " #" + std::to_string(call.index) + " (" +
                   UserPath(prefix_, call.target) + ")";
      return;
    }
  }
  if (fault.kind == FaultKind::kKill && (fault.after_record || fault.mid_copy)) {
    // A run whose record never appears is not killed: it ends by itself.
    // One there from before counts once it is written anew.
    const double delay = fault.when * (fault.mid_copy ? 0.3 : 1) * UsualSeconds(step);
    const fs::path record = install_ / "upgrade-in-progress.brevak";
    auto appeared = std::make_shared<std::optional<std::chrono::steady_clock::time_point>>();
    const auto stamp = [record] {
      struct stat status;
      if (lstat(record.c_str(), &status) != 0) return std::optional<std::tuple<ino_t, int64_t, off_t>>();
      return std::optional(std::make_tuple(status.st_ino, static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                                                              status.st_mtim.tv_nsec, status.st_size));
    };
    const auto found = stamp();
    launch.kill_when = [stamp, found, delay, appeared] {
      const auto now = std::chrono::steady_clock::now();
      if (!*appeared) {
        const auto current = stamp();
        if (current && current != found) *appeared = now;
      }
      return *appeared && std::chrono::duration<double>(now - **appeared).count() >= delay;
    };
    armed.text = std::string(fault.mid_copy ? "no copy seen in a dry run: " : "") + "SIGKILL " + Seconds(delay) +
                 " after the record appears";
  } else if (fault.kind == FaultKind::kKill) {
    launch.kill_at = fault.when * UsualSeconds(step);
    armed.text = "SIGKILL at " + Seconds(launch.kill_at);
  } else if (fault.kind == FaultKind::kSyscall) {
    SyscallCall call;
    if (!ChooseCall(step, &call)) {
      armed.text = fault.error + ": the run makes no call to fail";
      return;
    }
    armed.target = call.target;
    launch.wrapper = StraceCommand(armed.log, {call.syscall}, &call, fault.error);
    armed.text = fault.error + " on " + call.syscall + " #" + std::to_string(call.index) + " (" +
                 UserPath(prefix_, call.target) + ")";
  } else if (fault.kind == FaultKind::kHolder) {
    ArmHolder(step, launch, armed);
  }
}

void ScheduleRunner::ArmHolder(const StepPlan& step, DriverLaunch& launch, ArmedFault& armed) {
  const FaultPlan& fault = step.fault;
  const fs::path file = install_ / fault.file;
  const bool keyed = fault.file == kCustomerFile;
  const fs::path errors = dir_ / ("run-" + std::to_string(run_number_) + ".holder-stderr");
  if (fault.before) {
    std::string table;
    TableRows row;
    if (HolderInsert(file, kHolderRowId + run_number_, rng_, &table, &armed.insert_sql, &row)) {
      armed.insert_row[table] = row;
    }
    armed.holder = std::make_unique<DbHolder>(file, keyed, fault.mode, errors);
    if (!armed.holder->WaitHeld(20)) armed.text += " (the program could not open it)";
    return;
  }
  const double start = fault.when * UsualSeconds(step);
  std::unique_ptr<DbHolder>* holder = &armed.holder;
  const HoldMode mode = fault.mode;
  launch.events.push_back({start, [=] { *holder = std::make_unique<DbHolder>(file, keyed, mode, errors); }});
  launch.events.push_back({start + fault.hold_seconds, [=] { holder->reset(); }});
}

std::string ScheduleRunner::SettleHolder(const StepPlan& step, const DriverResult& result, ArmedFault& armed,
                                         RowSet* beside) {
  std::string unsaved;
  if (armed.holder && step.fault.before && result.Ended() && !armed.insert_row.empty()) {
    if (armed.holder->CommitInsert(armed.insert_sql)) {
      *beside = armed.insert_row;
      beside_.parts.push_back(*beside);
      armed.text += "; it then saved a row in " + armed.insert_row.begin()->first;
    } else {
      unsaved = armed.holder->LastError();
      armed.text += "; its next save failed";
    }
  }
  armed.holder.reset();
  return unsaved;
}

void ScheduleRunner::NoteInjection(const StepPlan& step, const DriverLaunch& launch, ArmedFault& armed) {
  if (launch.wrapper.empty() || step.fault.kind != FaultKind::kSyscall) return;
  SyscallCall injected;
  if (!FindInjected(armed.log, &injected)) {
    armed.text += ", not reached";
    return;
  }
  ++outcome_.injected;
  if (injected.target.rfind(prefix_.string() + "/", 0) != 0) {
    ++outcome_.harness_errors;
    Violation("harness: the injected error hit " + injected.target + ", not a file of the shop");
  } else if (WithoutCopyTag(UserPath(prefix_, injected.target)) != WithoutCopyTag(UserPath(prefix_, armed.target))) {
    armed.text += ", hit " + UserPath(prefix_, injected.target);
  }
}

void ScheduleRunner::SaveTranscript(const DriverResult& result) const {
  std::ofstream out(dir_ / ("run-" + std::to_string(run_number_) + ".transcript"));
  for (const std::string& line : result.transcript) out << line << '\n';
}

void ScheduleRunner::ToolStep(const StepPlan& step) {
  ++run_number_;
  ++outcome_.runs;
  const FolderRows before = ReadFolder(install_);
  const std::vector<fs::path> folders_before = DatabaseFolders(prefix_);
  judge_->Before(step, before.tables);
  DriverLaunch launch = BaseLaunch(step, prefix_);
  ArmedFault armed;
  ArmFault(step, launch, armed);
  const DriverResult result = RunTool(launch);
  RowSet beside;
  const std::string unsaved = SettleHolder(step, result, armed, &beside);
  SaveTranscript(result);
  NoteInjection(step, launch, armed);
  if (step.fault.kind == FaultKind::kKill && (result.killed || (!launch.wrapper.empty() && !result.Ended()))) {
    ++outcome_.kills;
  }
  if (step.fault.kind == FaultKind::kHolder) ++outcome_.held;
  if (result.protocol_error) {
    ++outcome_.harness_errors;
    Violation("harness: protocol error in the transcript: " +
              (result.transcript.empty() ? std::string("(empty)") : result.transcript.back()));
  }
  const bool record = fs::exists(install_ / "upgrade-in-progress.brevak");
  outcome_.steps.push_back(std::to_string(step_number_) + " " + StepName(step.kind) + " (" + armed.text + "): " +
                           DescribeRun(result) + (record ? " [record left]" : ""));
  episode_messages_.insert(episode_messages_.end(), result.messages.begin(), result.messages.end());
  Judge(step, result);
  // A restore killed after it had finished (its record gone, the chosen
  // backup's rows in place) is judged as the silent success it was.
  bool restored_before_kill = result.killed && !record && SilentRestore(step, result);
  if (restored_before_kill) {
    const FolderRows chosen = ReadFolder(install_ / result.selected);
    const FolderRows now = ReadFolder(install_);
    restored_before_kill = RowsNowhere(chosen.tables, {&now.tables}).empty();
  }
  if (!result.Ended() && !restored_before_kill) {
    if (result.timed_out) {
      ++outcome_.hangs;
      Violation("the run did not end within " + Seconds(setup_.timeout_seconds));
    }
    owed_.push_back({step_number_, before.tables});
    return;
  }
  if (!unsaved.empty()) {
    // The run replaced the database under the other program: the work it
    // then saved is lost to its user.
    ++outcome_.rows_lost;
    Violation("1 row lost: another program had " + step.fault.file + " " + HoldModeName(step.fault.mode) +
              " from before the run, and its next save failed: " + unsaved);
  }
  Check(step, result, before, beside, folders_before);
}

// What a run owes: the rows before it, the row another program saved
// beside it, and those of killed runs before it that neither holds.
std::vector<Owed> ScheduleRunner::OwedRows(const FolderRows& before, const RowSet& beside) {
  std::vector<Owed> owed = {{step_number_, before.tables}};
  if (!beside.empty()) owed.push_back({step_number_, beside});
  for (auto it = owed_.rbegin(); it != owed_.rend(); ++it) {
    std::vector<const RowSet*> newer;
    for (const Owed& set : owed) newer.push_back(&set.rows);
    RowSet rest = RowsNowhere(it->rows, newer);
    if (!rest.empty()) owed.push_back({it->step, std::move(rest)});
  }
  owed_.clear();
  return owed;
}

std::string ScheduleRunner::DescribeOwed(const std::vector<Owed>& owed, const std::vector<const RowSet*>& places,
                                         int64_t* count) const {
  std::string text;
  *count = 0;
  for (const Owed& set : owed) {
    const RowSet nowhere = RowsNowhere(set.rows, places);
    if (nowhere.empty()) continue;
    *count += CountRows(nowhere);
    text += (text.empty() ? "" : " + ") + Describe(nowhere);
    if (set.step != step_number_) text += " held before step " + std::to_string(set.step) + ", whose run was killed";
  }
  return text;
}

Places ScheduleRunner::PlacesAfter(const StepPlan& step, const DriverResult& result,
                                   const std::vector<fs::path>& folders_before) {
  Places places;
  places.installation = ReadFolder(install_);
  for (const fs::path& folder : NamedFolders(prefix_, episode_messages_)) {
    places.folders.push_back(ReadFolder(folder));
    places.names += (places.names.empty() ? "" : ", ") + WindowsPath(prefix_, folder);
  }
  if (!SilentRestore(step, result)) return places;
  for (const fs::path& folder : DatabaseFolders(prefix_)) {
    if (std::find(folders_before.begin(), folders_before.end(), folder) != folders_before.end()) continue;
    places.folders.push_back(ReadFolder(folder));
    places.names += (places.names.empty() ? "" : ", ") + WindowsPath(prefix_, folder) + " (the restore's new backup)";
  }
  return places;
}

std::string ScheduleRunner::Describe(const RowSet& rows) const {
  return DescribeRows(rows, {&work_, &beside_, &setup_.shop, &setup_.package});
}

void ScheduleRunner::Check(const StepPlan& step, const DriverResult& result, const FolderRows& before,
                           const RowSet& beside, const std::vector<fs::path>& folders_before) {
  const std::vector<Owed> owed = OwedRows(before, beside);
  const Places places = PlacesAfter(step, result, folders_before);
  int64_t lost = 0;
  const std::string lost_text = DescribeOwed(owed, places.All(), &lost);
  if (lost > 0) {
    outcome_.rows_lost += lost;
    const std::vector<std::string>& problems = places.installation.problems;
    Violation(std::to_string(lost) + " rows lost: " + lost_text +
              "; in neither the installation nor a folder a message named (" +
              (places.names.empty() ? "none named" : places.names) + ")" +
              (problems.empty() ? "" : "; installation: " + problems.front()));
  }
  FalseSuccess(step, result, owed, places.installation.tables);
  episode_messages_.clear();
}

// The run's last word: "升级完成" only when the installation holds every
// row owed; otherwise the rows must at least be in a folder the run named.
void ScheduleRunner::FalseSuccess(const StepPlan& step, const DriverResult& result, const std::vector<Owed>& owed,
                                  const RowSet& after) {
  if (!result.messages.empty() && result.messages.back().text == kUpdateDone) {
    std::vector<FolderRows> named;
    for (const fs::path& folder : NamedFolders(prefix_, result.messages)) named.push_back(ReadFolder(folder));
    std::vector<const RowSet*> places = {&after};
    for (const FolderRows& folder : named) places.push_back(&folder.tables);
    int64_t missing = 0;
    const std::string missing_text = DescribeOwed(owed, places, &missing);
    if (missing > 0) {
      ++outcome_.false_successes;
      Violation("false success: the last message is \"升级完成\" while " + std::to_string(missing) +
                " rows are in neither the installation nor a folder the run named: " + missing_text);
      return;
    }
    const std::string outside_text = DescribeOwed(owed, {&after}, &missing);
    if (missing > 0) {
      ++outcome_.done_outside;
      Violation("the last message is \"升级完成\" while " + std::to_string(missing) +
                " rows are not in the installation (only in a folder an earlier message named): " + outside_text);
    }
    return;
  }
  if (!SilentRestore(step, result)) return;
  const FolderRows backup = ReadFolder(install_ / result.selected);
  const RowSet missing = RowsNowhere(backup.tables, {&after});
  if (missing.empty()) return;
  ++outcome_.false_successes;
  Violation("false success: the restore of " + result.selected + " said nothing, yet the installation lacks " +
            Describe(missing) + " of that backup");
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
