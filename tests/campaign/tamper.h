#ifndef BREVAK_TESTS_CAMPAIGN_TAMPER_H_
#define BREVAK_TESTS_CAMPAIGN_TAMPER_H_

// What happens to a shop's machine between two runs of the tool that is no
// fault of the tool's, yet can fool a tool that trusts what it sees: the
// in-progress record damaged, edited or replaced by a pipe or a link, a backup's databases touched by an
// antivirus or a backup program (content unchanged), another folder dressed
// in the backup's sizes and times, the clock's time zone changed, the
// installation's path spelled another way in the registry.

#include <cstdint>
#include <filesystem>
#include <string>

namespace brevak::campaign {

enum class TamperKind { kMutateRecord, kTouchBackup, kDecoyFolder, kTimeZone, kAppPaths };

struct TamperPlan {
  TamperKind kind = TamperKind::kMutateRecord;
  int variant = 0;     // which mutation, touch, spelling or zone
  uint64_t seed = 0;   // where a mutation strikes
};

const char* TamperName(TamperKind kind);

// The TZ value a kTimeZone tamper sets for the runs after it; the runs
// before it have `TimeZoneBefore()`.
std::string TimeZoneAfter(const TamperPlan& plan);
const char* TimeZoneBefore();

// Does the tamper to the prefix's files and says what it did. kTimeZone
// changes no file: the caller starts the next runs with TimeZoneAfter.
std::string ApplyTamper(const std::filesystem::path& prefix, const TamperPlan& plan);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_TAMPER_H_
