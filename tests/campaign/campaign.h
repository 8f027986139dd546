#ifndef BREVAK_TESTS_CAMPAIGN_CAMPAIGN_H_
#define BREVAK_TESTS_CAMPAIGN_CAMPAIGN_H_

// Runs one schedule on a fresh copy of the shop and checks the property
// after every step that runs the tool.
//
// A run that is killed (by the schedule, or by the guard against a hang)
// cannot say where the data went: its rows are owed by the next run of the
// tool, which must leave them in the installation or in a folder that it,
// or the killed run, named.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "campaign/row_property.h"
#include "campaign/schedule.h"

namespace brevak::campaign {

struct CampaignSetup {
  std::filesystem::path work;              // scratch space
  std::filesystem::path full_template;     // the shop's prefix
  std::filesystem::path older_template;    // the same shop from a release without Huifang_kind
  double update_seconds = 1;               // how long an update usually takes
  double restore_seconds = 0.3;
  double timeout_seconds = 120;
  std::filesystem::path keep;              // violating schedules are copied here; empty: not kept
  Origin shop;                             // the installation's rows before anything ran
  Origin package;                          // the package's sample rows
};

struct ScheduleOutcome {
  std::vector<std::string> steps;       // one line each: what was done and what the tool said
  std::vector<std::string> violations;  // "step 3: ..."
  int64_t rows_lost = 0;
  int false_successes = 0;    // last message "升级完成" (or a silent restore) while rows are nowhere named
  int done_outside = 0;       // last message "升级完成" while rows are only in folders named before it
  int hangs = 0;
  int harness_errors = 0;
  int runs = 0, kills = 0, injected = 0, held = 0;
  int tampered = 0;           // meddling steps
  int folders_touched = 0;    // user folders named like backups that a run removed or changed
  int wrong_data = 0;         // runs that left data the safeguards' property forbids (see safeguard_judge.h)
  int records_left = 0;       // restores of a vanished backup that left a record
  int piled_folders = 0;      // runs that saved one more folder though nothing had changed
  bool in_place = false;      // the schedule copied in place
};

ScheduleOutcome RunSchedule(const SchedulePlan& plan, const CampaignSetup& setup);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_CAMPAIGN_H_
