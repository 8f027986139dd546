#include "core/space_estimate.h"

#include <algorithm>
#include <map>

#include "core/jet_database.h"
#include "core/vb_text.h"
#include "platform/file_pattern.h"

namespace brevak {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// A file counts once, however many patterns take it (Brevak.ini).
std::vector<FileSize> Matching(const std::vector<FileSize>& files, const std::vector<std::u16string>& patterns) {
  std::vector<FileSize> taken;
  for (const FileSize& file : files) {
    if (std::any_of(patterns.begin(), patterns.end(),
                    [&](const std::u16string& pattern) { return MatchesFilePattern(pattern, file.name); })) {
      taken.push_back(file);
    }
  }
  return taken;
}

std::map<std::u16string, int64_t> SizesByName(const std::vector<FileSize>& files) {
  std::map<std::u16string, int64_t> sizes;
  for (const FileSize& file : files) sizes[vb::LCase(file.name)] = file.size;
  return sizes;
}

int64_t SizeOf(const std::map<std::u16string, int64_t>& sizes, const std::u16string& name) {
  const auto found = sizes.find(vb::LCase(name));
  return found == sizes.end() ? 0 : found->second;
}

bool IsDatabase(const std::u16string& name) {
  return vb::LCase(name) == vb::LCase(kCustomerDatabase) || vb::LCase(name) == vb::LCase(kAddressBook);
}

// The installation's peak above what it holds now: the backup of its data
// files, each incoming file beyond the one it replaces, and, for the file a
// copy has in flight, the old file it writes beside before that is removed
// (the largest such old file; a file new to the folder is counted whole by
// its growth already). The package copy replaces the old databases before
// the migration refills the new ones, so a migrated database ends at about
// the old one's size plus the fresh database's own, which is counted whole.
int64_t PeakNeed(const std::vector<FileSize>& installed, const std::vector<FileSize>& backed_up,
                 const std::vector<FileSize>& incoming, bool migrates) {
  const std::map<std::u16string, int64_t> installed_sizes = SizesByName(installed);
  int64_t need = 0;
  int64_t largest = 0;
  for (const FileSize& file : backed_up) need += file.size;
  for (const FileSize& file : incoming) {
    if (migrates && IsDatabase(file.name)) {
      need += file.size;
      continue;
    }
    const int64_t replaced = SizeOf(installed_sizes, file.name);
    need += std::max<int64_t>(0, file.size - replaced);
    largest = std::max(largest, std::min(file.size, replaced));
  }
  return need + largest;
}

}  // namespace

SpaceEstimate EstimateSpace(const SpaceInputs& inputs) {
  const int64_t peak = PeakNeed(inputs.installed, Matching(inputs.installed, inputs.backup_patterns),
                                Matching(inputs.incoming, inputs.incoming_patterns), inputs.migrates);
  return {peak + peak / 20 + kMegabyte, inputs.available};
}

}  // namespace brevak
