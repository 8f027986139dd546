#ifndef BREVAK_TESTS_CAMPAIGN_SCHEDULE_H_
#define BREVAK_TESTS_CAMPAIGN_SCHEDULE_H_

// A schedule: what happens to one shop, step by step. It aims at one of
// the three handlers that replace data (an update, the finishing of an
// interrupted update, a restore) with a fault at a random moment, then
// does what a user does next, chosen at random: run the tool again and
// answer whatever it asks, restore the newest backup, or work on in Brevak.
// A "tamper" schedule interrupts an update or a restore, then meddles with
// what the run left (see tamper.h) before the tool is run again. Any
// schedule may copy as Windows' shell does, each file in place.
// A share of the schedules is drawn instead from the safeguards' kinds (see
// ScheduleKind); which of them may be drawn is an option, and a kind left
// out leaves the schedule it would have replaced as it was.
// A schedule is a function of (seed, index) alone.

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "campaign/db_holder.h"
#include "campaign/tamper.h"
#include "campaign/tool_driver.h"

namespace brevak::campaign {

enum class StepKind { kUpdate, kRestore, kWork, kTamper, kSetUp };

// What a schedule aims at beyond the three handlers' faults: a chain of
// interrupted restores and put-backs; a user's folder named like a backup;
// the chosen backup gone between the listing and the restore; a package
// whose schema the shop's rows break.
enum class ScheduleKind { kRestoreChain, kUserFolder, kVanishedEntry, kRejectedSchema };
inline constexpr ScheduleKind kScheduleKinds[] = {ScheduleKind::kRestoreChain, ScheduleKind::kUserFolder,
                                                  ScheduleKind::kVanishedEntry, ScheduleKind::kRejectedSchema};
const char* ScheduleKindName(ScheduleKind kind);  // chain, user-folder, vanished, schema
// "all", "none" or names joined by ','; false for an unknown name.
bool ParseScheduleKinds(const std::string& text, std::vector<ScheduleKind>* kinds);

// Something done to the shop before its first run.
enum class SetUpKind { kUserFolder, kRejectedSchema };
struct SetUpPlan {
  SetUpKind kind = SetUpKind::kUserFolder;
  int variant = 0;  // which name, contents, table or constraint
};

// The chosen backup made to vanish after the listing, before the restore's click.
enum class VanishKind { kNone, kFolder, kFiles };
enum class FaultKind { kNone, kKill, kSyscall, kHolder };

struct FaultPlan {
  FaultKind kind = FaultKind::kNone;
  double when = 0;          // kill, or a holder's start: a share of the run's usual length
  bool after_record = false;  // a kill counted from when the run's in-progress record appears
                              // (or, when one is there already, is written anew)
  bool mid_copy = false;      // a kill as the run makes one of its calls that copy into the installation
                              // after its record is written (`when` picks which); a timed kill when none
  double pick_syscall = 0;  // which system call, then which of its calls: draws in [0, 1)
  double pick_call = 0;
  std::string error;        // ENOSPC or EIO
  std::string file;         // the database a holder holds
  HoldMode mode = HoldMode::kOpen;
  bool before = false;      // a holder from before the run; it writes a row once the run ends
  double hold_seconds = 0;  // a holder started during the run holds this long
};

struct StepPlan {
  StepKind kind = StepKind::kUpdate;
  FaultPlan fault;
  AnswerPolicy answers;
  int work_rows = 0;
  TamperPlan tamper;
  SetUpPlan set_up;
  VanishKind vanish = VanishKind::kNone;
  bool chain_start = false;  // the restore that starts a chain of interrupted restores
  bool chain_link = false;   // a run of such a chain: it answers the question and restores, as a restore lasts
};

struct SchedulePlan {
  uint64_t seed = 0;
  int index = 0;
  std::string aim;                  // update, finish, restore, tamper, or a ScheduleKind's name
  bool lacks_huifang_kind = false;  // the shop's database comes from a release without Huifang_kind
  uint64_t run_seed = 0;            // for the choices made while running (rows worked on)
  bool copy_in_place = false;       // the tool copies each file in place, as Windows' shell does
  std::string time_zone;            // TZ of the runs (until a tamper changes it); empty: this process's
  std::vector<StepPlan> steps;
};

struct PlanOptions {
  int max_follow_ups = 3;
  double fault_share = 0.35;  // of the runs that follow the aimed one
  bool syscall_faults = true;
  double max_hold_seconds = 8;
  int work_rows = 20;
  double tamper_share = 0.4;    // of the schedules
  double in_place_share = 0.3;  // of the schedules
  double kind_share = 0.35;     // of the schedules: drawn from the kinds below
  std::vector<ScheduleKind> kinds = {std::begin(kScheduleKinds), std::end(kScheduleKinds)};
};

SchedulePlan MakeSchedule(uint64_t seed, int index, const PlanOptions& options);

const char* StepName(StepKind kind);
// The fault as planned: "kill at 40% of the run", "ENOSPC on a write", ...
std::string DescribeFault(const FaultPlan& fault);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SCHEDULE_H_
