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
// A schedule is a function of (seed, index) alone.

#include <cstdint>
#include <string>
#include <vector>

#include "campaign/db_holder.h"
#include "campaign/tamper.h"
#include "campaign/tool_driver.h"

namespace brevak::campaign {

enum class StepKind { kUpdate, kRestore, kWork, kTamper };
enum class FaultKind { kNone, kKill, kSyscall, kHolder };

struct FaultPlan {
  FaultKind kind = FaultKind::kNone;
  double when = 0;          // kill, or a holder's start: a share of the run's usual length
  bool after_record = false;  // a kill counted from when the run's in-progress record appears
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
};

struct SchedulePlan {
  uint64_t seed = 0;
  int index = 0;
  std::string aim;                  // update, finish, restore or tamper
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
};

SchedulePlan MakeSchedule(uint64_t seed, int index, const PlanOptions& options);

const char* StepName(StepKind kind);
// The fault as planned: "kill at 40% of the run", "ENOSPC on a write", ...
std::string DescribeFault(const FaultPlan& fault);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SCHEDULE_H_
