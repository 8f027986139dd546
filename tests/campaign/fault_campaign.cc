// fault-campaign: random faults at random moments of the tool's handlers
// that replace data (an update, the finishing of an interrupted update, a
// restore), each followed by what a user does next, on a real shop through
// the built program alone. After every step: every row the installation
// held before it is in the installation or in a folder that a message of
// that run names, and "升级完成" only when the installation holds them all;
// and, for the safeguards' kinds (--kinds), the properties safeguard_judge.h
// lists.
// Prints the schedules run, the rows lost and the false successes, and a
// line for each violation; exits 1 when there is any.
//
//   fault-campaign [--schedules N] [--seed S] [--rows R] [--only I] ...   (--help)

#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/campaign.h"
#include "campaign/schedule_pool.h"
#include "campaign/shop_prefix.h"
#include "campaign/syscall_fault.h"
#include "campaign/tool_driver.h"

namespace {

namespace fs = std::filesystem;
using namespace brevak::campaign;

constexpr char kUsage[] =
    "usage: fault-campaign [options]\n"
    "  --schedules N     schedules to run (default 20)\n"
    "  --seed S          the campaign's seed; schedule I is a function of (S, I) (default 1)\n"
    "  --first I         the first schedule's index (default 0)\n"
    "  --only I          run schedule I alone (to reproduce a violation)\n"
    "  --rows R          the shop's own records (default 300)\n"
    "  --follow-ups M    at most M steps after the aimed fault (default 3)\n"
    "  --work-rows W     at most W rows per spell of work in Brevak (default 20)\n"
    "  --max-hold S      at most S seconds that another program holds a database (default 8)\n"
    "  --tamper-share F  the share of schedules that meddle between runs: a damaged record, a touched\n"
    "                    backup, a decoy folder, another time zone, App Paths spelled otherwise (default 0.4)\n"
    "  --in-place-share F  the share of schedules whose tool copies each file in place, as Windows'\n"
    "                    shell does (default 0.3)\n"
    "  --kinds LIST      the safeguards' kinds that may be drawn: all, none, or names joined by ','\n"
    "                    among chain (interrupted restores and put-backs), user-folder (a folder named like\n"
    "                    a backup), vanished (the chosen backup gone before the restore), schema (a package\n"
    "                    whose schema the shop's rows break) (default all)\n"
    "  --kind-share F    the share of schedules drawn from those kinds (default 0.35); a kind left out\n"
    "                    leaves its schedules as the handlers' schedules they would have been\n"
    "  --timeout S       a run still going after S seconds is killed and reported (default 120)\n"
    "  --tool PATH       the program to check (default: the built brevak-upgrade)\n"
    "  --fixtures DIR    the Brevak.exe fixtures (default: tests/fixtures/pe of the source tree)\n"
    "  --work DIR        scratch space (default: /dev/shm when there, else $TMPDIR or /tmp)\n"
    "  --keep DIR        copy the prefix and transcripts of every violating schedule here\n"
    "  --jobs J          schedules run side by side in J processes (default 1)\n"
    "  --verbose         print every schedule's steps\n";

struct Options {
  int schedules = 20;
  uint64_t seed = 1;
  int first = 0;
  int jobs = 1;
  int64_t rows = 300;
  PlanOptions plan;
  double timeout = 120;
  fs::path tool = BREVAK_TOOL_EXE;
  fs::path fixtures = fs::path(BREVAK_SOURCE_DIR) / "tests" / "fixtures" / "pe";
  fs::path work;
  fs::path keep;
  bool verbose = false;
};

template <typename T>
bool Parse(std::string_view text, T* out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

bool TakeOption(std::string_view name, std::string_view value, Options* o) {
  if (name == "--schedules") return Parse(value, &o->schedules) && o->schedules >= 0;
  if (name == "--seed") return Parse(value, &o->seed);
  if (name == "--first") return Parse(value, &o->first) && o->first >= 0;
  if (name == "--only") {
    o->schedules = 1;
    return Parse(value, &o->first) && o->first >= 0;
  }
  if (name == "--jobs") return Parse(value, &o->jobs) && o->jobs >= 1;
  if (name == "--rows") return Parse(value, &o->rows) && o->rows >= 0;
  if (name == "--follow-ups") return Parse(value, &o->plan.max_follow_ups) && o->plan.max_follow_ups >= 0;
  if (name == "--work-rows") return Parse(value, &o->plan.work_rows) && o->plan.work_rows > 0;
  if (name == "--tamper-share") return Parse(value, &o->plan.tamper_share) && o->plan.tamper_share >= 0;
  if (name == "--in-place-share") return Parse(value, &o->plan.in_place_share) && o->plan.in_place_share >= 0;
  if (name == "--max-hold") return Parse(value, &o->plan.max_hold_seconds) && o->plan.max_hold_seconds >= 0.5;
  if (name == "--kinds") return ParseScheduleKinds(std::string(value), &o->plan.kinds);
  if (name == "--kind-share") return Parse(value, &o->plan.kind_share) && o->plan.kind_share >= 0;
  if (name == "--timeout") return Parse(value, &o->timeout) && o->timeout > 0;
  if (name == "--tool") o->tool = std::string(value);
  else if (name == "--fixtures") o->fixtures = std::string(value);
  else if (name == "--work") o->work = std::string(value);
  else if (name == "--keep") o->keep = std::string(value);
  else return false;
  return true;
}

bool ParseArgs(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--verbose") {
      options->verbose = true;
    } else if (i + 1 >= argc || !TakeOption(arg, argv[i + 1], options)) {
      std::fprintf(stderr, "fault-campaign: bad option or value: %s\n", argv[i]);
      return false;
    } else {
      ++i;
    }
  }
  return true;
}

fs::path ScratchRoot(const Options& options) {
  if (!options.work.empty()) return options.work;
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec)) return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// One update and one restore of a copy of the shop without faults; false
// when they do not succeed.
bool TimeRuns(const CampaignSetup& setup, double* update_seconds, double* restore_seconds) {
  const fs::path prefix = setup.work / "calibration";
  fs::remove_all(prefix);
  CopyPrefix(setup.full_template, prefix);
  DriverLaunch launch;
  launch.tool = PackageTool(prefix);
  launch.prefix = prefix;
  launch.stderr_file = setup.work / "calibration.stderr";
  launch.answers.first_yes = launch.answers.yes = 1;
  launch.actions = {{DriverAction::Kind::kClick, "CmdUpdate"}};
  const DriverResult update = RunTool(launch);
  launch.actions = {{DriverAction::Kind::kClick, "cmdGetHistory"},
                    {DriverAction::Kind::kSelectNewestBackup, ""},
                    {DriverAction::Kind::kClick, "CmdRestore"}};
  const DriverResult restore = RunTool(launch);
  fs::remove_all(prefix);
  const bool done = update.Ended() && !update.messages.empty() && update.messages.back().text == "升级完成" &&
                    restore.Ended() && restore.restore_clicked;
  if (!done) {
    std::fprintf(stderr, "fault-campaign: the tool does not update and restore the shop without faults:\n");
    for (const auto* run : {&update, &restore}) {
      for (const std::string& line : run->transcript) std::fprintf(stderr, "  %s\n", line.c_str());
    }
    return false;
  }
  *update_seconds = update.seconds;
  *restore_seconds = restore.seconds;
  return true;
}

// The tool's usual time for an update and for a restore (the median of
// three): the kills and the holders are spread over that time.
bool Calibrate(CampaignSetup& setup) {
  std::vector<double> updates(3), restores(3);
  for (size_t i = 0; i < updates.size(); ++i) {
    if (!TimeRuns(setup, &updates[i], &restores[i])) return false;
  }
  std::sort(updates.begin(), updates.end());
  std::sort(restores.begin(), restores.end());
  setup.update_seconds = std::max(updates[1], 0.05);
  setup.restore_seconds = std::max(restores[1], 0.05);
  return true;
}

// The scratch folder, the programs and the two shops every schedule copies.
bool Prepare(const Options& options, CampaignSetup& setup) {
  std::string pattern = (ScratchRoot(options) / "brevak-fault-campaign-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "fault-campaign: cannot make a scratch folder in %s\n", ScratchRoot(options).c_str());
    return false;
  }
  setup.work = fs::canonical(pattern);
  // A copy of the tool, so a rebuild meanwhile does not touch the run.
  const fs::path tool = setup.work / "brevak-upgrade";
  fs::copy_file(options.tool, tool);
  ShopSpec spec;
  spec.rows = options.rows;
  setup.full_template = setup.work / "shop";
  MakeShopPrefix(setup.full_template, spec, tool, options.fixtures);
  spec.lacks_huifang_kind = true;
  setup.older_template = setup.work / "older-shop";
  MakeShopPrefix(setup.older_template, spec, tool, options.fixtures);
  setup.shop = {"shop", {ReadFolder(InstallDir(setup.full_template)).tables}};
  setup.package = {"package", {ReadFolder(PackageDir(setup.full_template)).tables}};
  setup.timeout_seconds = options.timeout;
  setup.keep = options.keep;
  if (!setup.keep.empty()) fs::create_directories(setup.keep);
  return Calibrate(setup);
}

struct Totals {
  int schedules = 0, runs = 0, kills = 0, injected = 0, held = 0, hangs = 0, harness = 0, false_successes = 0,
      done_outside = 0, violating = 0, tampered = 0, in_place = 0, folders_touched = 0, wrong_data = 0,
      records_left = 0, piled_folders = 0;
  int64_t rows_lost = 0;
};

void Report(const Options& options, int index, const ScheduleOutcome& outcome, Totals& totals) {
  const SchedulePlan plan = MakeSchedule(options.seed, index, options.plan);
  ++totals.schedules;
  totals.runs += outcome.runs;
  totals.kills += outcome.kills;
  totals.injected += outcome.injected;
  totals.held += outcome.held;
  totals.hangs += outcome.hangs;
  totals.harness += outcome.harness_errors;
  totals.false_successes += outcome.false_successes;
  totals.done_outside += outcome.done_outside;
  totals.tampered += outcome.tampered;
  totals.in_place += outcome.in_place ? 1 : 0;
  totals.rows_lost += outcome.rows_lost;
  totals.folders_touched += outcome.folders_touched;
  totals.wrong_data += outcome.wrong_data;
  totals.records_left += outcome.records_left;
  totals.piled_folders += outcome.piled_folders;
  std::string steps;
  for (const std::string& step : outcome.steps) steps += (steps.empty() ? "" : " | ") + step;
  if (!outcome.violations.empty()) ++totals.violating;
  for (const std::string& violation : outcome.violations) {
    std::printf("VIOLATION schedule %d (aim: %s%s%s; fault-campaign --seed %llu --rows %lld --only %d): %s || %s\n",
                plan.index, plan.aim.c_str(), plan.lacks_huifang_kind ? ", no Huifang_kind" : "",
                plan.copy_in_place ? ", copying in place" : "",
                static_cast<unsigned long long>(options.seed), static_cast<long long>(options.rows), plan.index,
                violation.c_str(), steps.c_str());
  }
  if (outcome.violations.empty() || options.verbose) {
    std::printf("schedule %d (aim: %s%s%s): %s\n", plan.index, plan.aim.c_str(),
                plan.lacks_huifang_kind ? ", no Huifang_kind" : "", plan.copy_in_place ? ", copying in place" : "",
                outcome.violations.empty() ? "ok" : "violated");
  }
  if (options.verbose) {
    for (const std::string& step : outcome.steps) std::printf("    %s\n", step.c_str());
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArgs(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  options.plan.syscall_faults = StraceWorks();
  if (!options.plan.syscall_faults) std::printf("strace does not work here: no injected errors, kills instead\n");
  CampaignSetup setup;
  Totals totals;
  const auto start = std::chrono::steady_clock::now();
  try {
    if (!Prepare(options, setup)) return 3;
    std::printf("fault campaign: seed %llu, schedules %d..%d, shop of %lld rows (%lld rows in the carried tables); "
                "an update takes %.2f s, a restore %.2f s\n",
                static_cast<unsigned long long>(options.seed), options.first, options.first + options.schedules - 1,
                static_cast<long long>(options.rows), static_cast<long long>(CountRows(setup.shop.parts.front())),
                setup.update_seconds, setup.restore_seconds);
    std::fflush(stdout);
    RunSchedules(
        options.first, options.schedules, options.jobs,
        [&](int index) { return RunSchedule(MakeSchedule(options.seed, index, options.plan), setup); },
        [&](int index, const ScheduleOutcome& outcome) { Report(options, index, outcome, totals); });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fault-campaign: %s\n", e.what());
    if (!setup.work.empty()) fs::remove_all(setup.work);
    return 3;
  }
  fs::remove_all(setup.work);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("schedules run: %d (meddling %d, copying in place %d; tool runs %d: killed %d, injected errors %d, "
              "databases held %d; %.0f s)\n",
              totals.schedules, totals.tampered, totals.in_place, totals.runs, totals.kills, totals.injected,
              totals.held, seconds);
  std::printf("rows lost: %lld\n", static_cast<long long>(totals.rows_lost));
  std::printf("false successes: %d\n", totals.false_successes);
  std::printf("\"升级完成\" with rows outside the installation: %d\n", totals.done_outside);
  std::printf("user folders removed or changed: %d\n", totals.folders_touched);
  std::printf("runs that left the wrong data (a chain's end, a vanished backup's restore): %d\n", totals.wrong_data);
  std::printf("restores of a vanished backup that left a record: %d\n", totals.records_left);
  std::printf("runs that saved one more folder with nothing changed: %d\n", totals.piled_folders);
  if (totals.hangs > 0) std::printf("runs that hung: %d\n", totals.hangs);
  if (totals.harness > 0) std::printf("harness errors: %d\n", totals.harness);
  std::printf("schedules with a violation: %d\n", totals.violating);
  if (totals.harness > 0) return 3;
  const bool violated = totals.rows_lost > 0 || totals.false_successes > 0 || totals.done_outside > 0 ||
                        totals.hangs > 0 || totals.folders_touched > 0 || totals.wrong_data > 0 ||
                        totals.records_left > 0 || totals.piled_folders > 0;
  return violated ? 1 : 0;
}
