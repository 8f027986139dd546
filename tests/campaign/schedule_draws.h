#ifndef BREVAK_TESTS_CAMPAIGN_SCHEDULE_DRAWS_H_
#define BREVAK_TESTS_CAMPAIGN_SCHEDULE_DRAWS_H_

// The draws every schedule is made of, shared by the handlers' schedules
// and the safeguards' kinds.

#include <random>
#include <string>

#include "campaign/schedule.h"

namespace brevak::campaign {

double Uniform(std::mt19937_64& rng);
// A kill, an error of the disk or (unless `kill_or_disk_only`) another
// program on a database.
FaultPlan RandomFault(std::mt19937_64& rng, const PlanOptions& options, bool kill_or_disk_only);
// A run of the tool without a fault, answering by a draw.
StepPlan RunOf(StepKind kind, std::mt19937_64& rng);
StepPlan WorkOf(std::mt19937_64& rng, const PlanOptions& options);
// The steps that aim at `plan.aim` (update, finish, restore or tamper).
void AddAimedSteps(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options);
// One to `max_follow_ups` things the user does next.
void AddFollowUps(SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options);

// The schedule of `kind`, drawn from `rng`, in place of `plan`'s steps.
void MakeKindSchedule(ScheduleKind kind, SchedulePlan& plan, std::mt19937_64& rng, const PlanOptions& options);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SCHEDULE_DRAWS_H_
