#ifndef BREVAK_TESTS_CAMPAIGN_SCHEDULE_POOL_H_
#define BREVAK_TESTS_CAMPAIGN_SCHEDULE_POOL_H_

// Schedules run side by side in worker processes (each schedule has its own
// prefix, so they share nothing but the templates, which none writes).

#include <functional>
#include <string>
#include <vector>

#include "campaign/campaign.h"

namespace brevak::campaign {

// Runs `run(index)` for every index in [first, first + count) in `jobs`
// processes and hands each outcome to `done` in the calling process, in the
// order they finish.
void RunSchedules(int first, int count, int jobs, const std::function<ScheduleOutcome(int)>& run,
                  const std::function<void(int, const ScheduleOutcome&)>& done);

// An outcome as lines of text and back.
std::string SerializeOutcome(int index, const ScheduleOutcome& outcome);
bool ParseOutcome(const std::string& text, int* index, ScheduleOutcome* outcome);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SCHEDULE_POOL_H_
