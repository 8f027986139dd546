#ifndef BREVAK_TESTS_CAMPAIGN_SAFEGUARD_JUDGE_H_
#define BREVAK_TESTS_CAMPAIGN_SAFEGUARD_JUDGE_H_

// The properties the safeguards' kinds of schedule add to the rows'
// property, judged around every run of the tool:
// - a chain of interrupted restores that ends on 是 leaves the data from
//   before its FIRST restore, on 否 the chosen backup's (rows and files
//   alike); "恢复完成" over any other data is a false success;
// - a folder the shop made is never removed or changed;
// - a restore of a backup gone after the listing changes nothing, leaves
//   no record and claims no success;
// - clicking 开始更新 again over an update left unfinished, with nothing
//   changed, saves no folder more.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "campaign/row_property.h"
#include "campaign/schedule.h"
#include "campaign/tool_driver.h"
#include "campaign/user_folder.h"

namespace brevak::campaign {

struct Finding {
  enum class Kind { kFalseSuccess, kWrongData, kRecordLeft, kPiledFolder, kFolderTouched };
  Kind kind;
  std::string text;
};

class SafeguardJudge {
 public:
  explicit SafeguardJudge(const std::filesystem::path& prefix);

  // A set-up step: the folder planted, or the package changed.
  void Planted(const std::filesystem::path& user_folder);
  void SchemaRejected() { repeats_judged_ = true; }

  // Around one run of the tool; `before` is the installation's rows before it.
  void Before(const StepPlan& step, const RowSet& before);
  std::vector<Finding> After(const StepPlan& step, const DriverResult& result);

 private:
  void JudgeChain(const StepPlan& step, const DriverResult& result, std::vector<Finding>& found);
  void JudgeVanished(const DriverResult& result, std::vector<Finding>& found) const;
  void JudgeRepeat(const DriverResult& result, std::vector<Finding>& found);
  void JudgeUserFolders(std::vector<Finding>& found);

  std::filesystem::path prefix_, install_;
  RowSet before_;
  size_t before_digest_ = 0;
  size_t before_folders_ = 0;
  bool record_before_ = false;  // an unfinished update or restore was recorded when the run began
  struct Planting {
    std::filesystem::path folder;
    FolderContents contents;
    bool reported = false;
  };
  std::vector<Planting> plantings_;
  std::optional<RowSet> chain_before_;  // the data before the chain's first restore
  size_t chain_before_digest_ = 0;
  RowSet chain_entry_;                  // the chosen backup's
  size_t chain_entry_digest_ = 0;
  std::string chain_entry_name_;
  bool repeats_judged_ = false;
  std::optional<size_t> last_digest_;   // the databases as the last run that ended left them
};

// Whether two snapshots hold the same rows, each row of one in the other.
bool SameRows(const RowSet& a, const RowSet& b);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SAFEGUARD_JUDGE_H_
