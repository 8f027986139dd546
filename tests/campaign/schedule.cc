#include "campaign/schedule.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "campaign/carried_tables.h"
#include "campaign/schedule_draws.h"

namespace brevak::campaign {
namespace {

// Salts the stream that chooses a safeguards' kind, apart from the one the
// handlers' schedules are drawn from, so those stay what they were.
constexpr uint32_t kKindSalt = 0x6b696e64;

FaultPlan HolderFault(std::mt19937_64& rng, const PlanOptions& options) {
  FaultPlan fault;
  fault.kind = FaultKind::kHolder;
  fault.file = Uniform(rng) < 0.6 ? kCustomerFile : kAddressBookFile;
  fault.mode = static_cast<HoldMode>(rng() % 3);
  fault.before = Uniform(rng) < 0.5;
  fault.when = Uniform(rng) * 1.1;
  fault.hold_seconds = 0.3 + Uniform(rng) * (options.max_hold_seconds - 0.3);
  return fault;
}

}  // namespace

double Uniform(std::mt19937_64& rng) { return std::uniform_real_distribution<double>(0, 1)(rng); }

FaultPlan RandomFault(std::mt19937_64& rng, const PlanOptions& options, bool kill_or_disk_only) {
  const double draw = Uniform(rng);
  FaultPlan fault;
  if (!kill_or_disk_only && draw >= 0.85) return HolderFault(rng, options);
  if (draw < 0.4 || !options.syscall_faults) {
    fault.kind = FaultKind::kKill;
    fault.when = Uniform(rng) * 1.1;
    return fault;
  }
  fault.kind = FaultKind::kSyscall;
  fault.error = Uniform(rng) < 0.5 ? "ENOSPC" : "EIO";
  fault.pick_syscall = Uniform(rng);
  fault.pick_call = Uniform(rng);
  return fault;
}

StepPlan RunOf(StepKind kind, std::mt19937_64& rng) {
  StepPlan step;
  step.kind = kind;
  step.answers.seed = rng();
  return step;
}

StepPlan WorkOf(std::mt19937_64& rng, const PlanOptions& options) {
  StepPlan step;
  step.kind = StepKind::kWork;
  step.work_rows = 1 + static_cast<int>(rng() % static_cast<uint64_t>(std::max(1, options.work_rows)));
  return step;
}

namespace {

TamperPlan RandomTamper(std::mt19937_64& rng) {
  TamperPlan tamper;
  const double draw = Uniform(rng);
  tamper.kind = draw < 0.4    ? TamperKind::kMutateRecord
                : draw < 0.55 ? TamperKind::kTouchBackup
                : draw < 0.7  ? TamperKind::kDecoyFolder
                : draw < 0.85 ? TamperKind::kTimeZone
                              : TamperKind::kAppPaths;
  tamper.variant = static_cast<int>(rng() % 64);
  tamper.seed = rng();
  return tamper;
}

// An update (or, for a damaged record, now and then a restore) killed while
// its record is likely there; the meddling; the run that finds what it left.
void AddTamperSteps(SchedulePlan& plan, std::mt19937_64& rng) {
  StepPlan tamper;
  tamper.kind = StepKind::kTamper;
  tamper.tamper = RandomTamper(rng);
  if (tamper.tamper.kind == TamperKind::kTimeZone) plan.time_zone = TimeZoneBefore();
  StepPlan interrupted = RunOf(StepKind::kUpdate, rng);
  if (tamper.tamper.kind == TamperKind::kMutateRecord && Uniform(rng) < 0.25) {
    plan.steps.push_back(RunOf(StepKind::kUpdate, rng));
    interrupted = RunOf(StepKind::kRestore, rng);
  }
  interrupted.fault.kind = FaultKind::kKill;
  interrupted.fault.after_record = true;
  interrupted.fault.when = Uniform(rng) * 0.06;  // a small shop's record lives a few hundredths of a second
  plan.steps.push_back(interrupted);
  plan.steps.push_back(tamper);
  StepPlan next = RunOf(StepKind::kUpdate, rng);
  next.answers.first_yes = 0.8;
  next.answers.yes = 0.7;
  plan.steps.push_back(next);
}

}  // namespace

void AddAimedSteps(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  if (plan.aim == "update") {
    StepPlan update = RunOf(StepKind::kUpdate, rng);
    update.fault = RandomFault(rng, options, false);
    plan.steps.push_back(update);
  } else if (plan.aim == "finish") {
    // An update interrupted by a kill or an error of the disk, then the
    // run that finishes it, itself faulted.
    StepPlan first = RunOf(StepKind::kUpdate, rng);
    first.fault = RandomFault(rng, options, true);
    plan.steps.push_back(first);
    if (Uniform(rng) < 0.3) plan.steps.push_back(WorkOf(rng, options));
    StepPlan finish = RunOf(StepKind::kUpdate, rng);
    finish.answers.first_yes = 0.8;
    finish.fault = RandomFault(rng, options, false);
    plan.steps.push_back(finish);
  } else if (plan.aim == "tamper") {
    AddTamperSteps(plan, rng);
  } else {
    plan.steps.push_back(RunOf(StepKind::kUpdate, rng));
    if (Uniform(rng) < 0.5) plan.steps.push_back(WorkOf(rng, options));
    StepPlan restore = RunOf(StepKind::kRestore, rng);
    restore.fault = RandomFault(rng, options, false);
    plan.steps.push_back(restore);
  }
}

void AddFollowUps(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  const int follow_ups = options.max_follow_ups <= 0 ? 0 : 1 + static_cast<int>(rng() % options.max_follow_ups);
  for (int i = 0; i < follow_ups; ++i) {
    const double draw = Uniform(rng);
    if (draw < 0.35) {
      plan.steps.push_back(WorkOf(rng, options));
      continue;
    }
    StepPlan step = RunOf(draw < 0.75 ? StepKind::kUpdate : StepKind::kRestore, rng);
    if (Uniform(rng) < options.fault_share) step.fault = RandomFault(rng, options, false);
    plan.steps.push_back(step);
  }
}

SchedulePlan MakeSchedule(uint64_t seed, int index, const PlanOptions& options) {
  std::seed_seq seeds{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32), static_cast<uint32_t>(index)};
  std::mt19937_64 rng(seeds);
  SchedulePlan plan;
  plan.seed = seed;
  plan.index = index;
  static const char* const kAims[] = {"update", "finish", "restore"};
  plan.aim = Uniform(rng) < options.tamper_share ? "tamper" : kAims[rng() % 3];
  plan.lacks_huifang_kind = Uniform(rng) < 0.2;
  plan.run_seed = rng();
  plan.copy_in_place = Uniform(rng) < options.in_place_share;
  AddAimedSteps(plan, rng, options);
  AddFollowUps(plan, rng, options);
  // The kind is drawn among all of them whichever may be run, so leaving
  // one out changes no other schedule.
  std::seed_seq kind_seeds{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32),
                           static_cast<uint32_t>(index), kKindSalt};
  std::mt19937_64 kind_rng(kind_seeds);
  if (Uniform(kind_rng) >= options.kind_share) return plan;
  const ScheduleKind kind = kScheduleKinds[kind_rng() % std::size(kScheduleKinds)];
  if (std::find(options.kinds.begin(), options.kinds.end(), kind) == options.kinds.end()) return plan;
  MakeKindSchedule(kind, plan, kind_rng, options);
  return plan;
}

const char* StepName(StepKind kind) {
  switch (kind) {
    case StepKind::kUpdate: return "update";
    case StepKind::kRestore: return "restore newest";
    case StepKind::kWork: return "work on";
    case StepKind::kTamper: return "meddle";
    case StepKind::kSetUp: return "set up";
  }
  return "?";
}

std::string DescribeFault(const FaultPlan& fault) {
  char text[160];
  switch (fault.kind) {
    case FaultKind::kNone: return "no fault";
    case FaultKind::kKill:
      if (fault.mid_copy) return "SIGKILL as it copies into the installation";
      std::snprintf(text, sizeof text, "SIGKILL at %.0f%% of the run%s", fault.when * 100,
                    fault.after_record ? " after its record appears" : "");
      return text;
    case FaultKind::kSyscall: return fault.error + " on a system call";
    case FaultKind::kHolder:
      if (fault.before) {
        std::snprintf(text, sizeof text, "%s held %s by another program from before the run", fault.file.c_str(),
                      HoldModeName(fault.mode));
      } else {
        std::snprintf(text, sizeof text, "%s held %s by another program from %.0f%% of the run for %.1f s",
                      fault.file.c_str(), HoldModeName(fault.mode), fault.when * 100, fault.hold_seconds);
      }
      return text;
  }
  return "?";
}

}  // namespace brevak::campaign
