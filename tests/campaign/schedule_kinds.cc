// The safeguards' kinds of schedule: what each does, step by step.
#include <algorithm>
#include <sstream>

#include "campaign/schedule_draws.h"

namespace brevak::campaign {
namespace {

const char* YesOrNo(std::mt19937_64& rng) { return Uniform(rng) < 0.5 ? "yes" : "no"; }

// An update, work on in Brevak (so the data before the restore is not the
// backup's), a restore killed while it copies, then 1 to 3 runs that answer
// the interrupted restore's question (是: put back, 否: restore again) and
// are killed in turn, and a run that answers it and ends.
void AddRestoreChain(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  plan.steps.push_back(RunOf(StepKind::kUpdate, rng));
  plan.steps.push_back(WorkOf(rng, options));
  StepPlan restore = RunOf(StepKind::kRestore, rng);
  restore.chain_start = true;
  restore.fault.kind = FaultKind::kKill;
  restore.fault.mid_copy = true;
  restore.fault.when = Uniform(rng);
  plan.steps.push_back(restore);
  const int links = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i <= links; ++i) {
    StepPlan link = RunOf(StepKind::kUpdate, rng);
    link.answers.first_answer = YesOrNo(rng);
    link.chain_link = true;
    if (i < links) {
      link.fault.kind = FaultKind::kKill;
      link.fault.mid_copy = true;
      link.fault.when = Uniform(rng);
    }
    plan.steps.push_back(link);
  }
}

// The run that makes a backup, then the chosen one gone before the click.
void AddVanishedEntry(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  plan.steps.push_back(RunOf(StepKind::kUpdate, rng));
  if (Uniform(rng) < 0.5) plan.steps.push_back(WorkOf(rng, options));
  StepPlan restore = RunOf(StepKind::kRestore, rng);
  restore.vanish = Uniform(rng) < 0.5 ? VanishKind::kFolder : VanishKind::kFiles;
  plan.steps.push_back(restore);
  plan.steps.push_back(RunOf(StepKind::kUpdate, rng));
}

// Updates into a package whose schema the shop's rows break, 开始更新
// clicked again and again (now and then after work in Brevak), every
// question answered 是.
void AddRejectedSchema(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  const int runs = 3 + static_cast<int>(rng() % 2);
  const bool work = Uniform(rng) < 0.3;
  for (int i = 0; i < runs; ++i) {
    if (work && i == runs - 1) plan.steps.push_back(WorkOf(rng, options));
    StepPlan update = RunOf(StepKind::kUpdate, rng);
    update.answers.first_yes = update.answers.yes = 1;
    plan.steps.push_back(update);
  }
}

StepPlan SetUp(SetUpKind kind, std::mt19937_64& rng) {
  StepPlan step;
  step.kind = StepKind::kSetUp;
  step.set_up.kind = kind;
  step.set_up.variant = static_cast<int>(rng() % 64);
  return step;
}

}  // namespace

void MakeKindSchedule(ScheduleKind kind, SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options) {
  plan.steps.clear();
  plan.time_zone.clear();  // a handler's schedule's time-zone meddling goes with its steps
  plan.aim = ScheduleKindName(kind);
  plan.run_seed = rng();
  switch (kind) {
    case ScheduleKind::kRestoreChain: return AddRestoreChain(plan, rng, options);
    case ScheduleKind::kVanishedEntry: return AddVanishedEntry(plan, rng, options);
    case ScheduleKind::kRejectedSchema:
      plan.steps.push_back(SetUp(SetUpKind::kRejectedSchema, rng));
      return AddRejectedSchema(plan, rng, options);
    case ScheduleKind::kUserFolder: {
      // The folder is there from the start; then a handler's schedule.
      plan.steps.push_back(SetUp(SetUpKind::kUserFolder, rng));
      static const char* const kAims[] = {"update", "finish", "restore"};
      plan.aim = kAims[rng() % 3];
      AddAimedSteps(plan, rng, options);
      AddFollowUps(plan, rng, options);
      plan.aim = std::string(ScheduleKindName(kind)) + ", " + plan.aim;
      return;
    }
  }
}

const char* ScheduleKindName(ScheduleKind kind) {
  switch (kind) {
    case ScheduleKind::kRestoreChain: return "chain";
    case ScheduleKind::kUserFolder: return "user-folder";
    case ScheduleKind::kVanishedEntry: return "vanished";
    case ScheduleKind::kRejectedSchema: return "schema";
  }
  return "?";
}

bool ParseScheduleKinds(const std::string& text, std::vector<ScheduleKind>* kinds) {
  kinds->clear();
  if (text == "all") *kinds = {std::begin(kScheduleKinds), std::end(kScheduleKinds)};
  if (text == "all" || text == "none") return true;
  std::istringstream names(text);
  for (std::string name; std::getline(names, name, ',');) {
    const auto* found = std::find_if(std::begin(kScheduleKinds), std::end(kScheduleKinds),
                                     [&](ScheduleKind kind) { return name == ScheduleKindName(kind); });
    if (found == std::end(kScheduleKinds)) return false;
    if (std::find(kinds->begin(), kinds->end(), *found) == kinds->end()) kinds->push_back(*found);
  }
  return !kinds->empty();
}

}  // namespace brevak::campaign
