#include "campaign/safeguard_judge.h"

#include <fstream>
#include <functional>
#include <iterator>

#include "campaign/carried_tables.h"
#include "campaign/messages.h"
#include "campaign/shop_prefix.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kRecordFile[] = "upgrade-in-progress.brevak";
constexpr char kRestoreDone[] = "恢复完成";
constexpr char kInterruptedRestore[] = "上次恢复数据没有完成";

// The installation's two databases, byte for byte.
size_t DatabasesDigest(const fs::path& install) {
  std::string bytes;
  for (const char* file : {kCustomerFile, kAddressBookFile}) {
    std::ifstream in(install / file, std::ios::binary);
    bytes.append(std::istreambuf_iterator<char>(in), {});
    bytes += '\0';
  }
  return std::hash<std::string>()(bytes);
}

bool SaysRestoreDone(const DriverResult& result) {
  for (const Message& message : result.messages) {
    if (message.text.rfind(kRestoreDone, 0) == 0) return true;
  }
  return false;
}

// The answer to the interrupted restore's question: yes, no, cancel; empty when not asked.
std::string ChainAnswer(const DriverResult& result) {
  for (const Message& message : result.messages) {
    if (message.text.rfind(kInterruptedRestore, 0) == 0) return message.answer;
  }
  return "";
}

}  // namespace

bool SameRows(const RowSet& a, const RowSet& b) { return RowsNowhere(a, {&b}).empty() && RowsNowhere(b, {&a}).empty(); }

SafeguardJudge::SafeguardJudge(const fs::path& prefix) : prefix_(prefix), install_(InstallDir(prefix)) {}

void SafeguardJudge::Planted(const fs::path& user_folder) {
  plantings_.push_back({user_folder, ReadContents(user_folder), false});
}

void SafeguardJudge::Before(const StepPlan& step, const RowSet& before) {
  before_ = before;
  before_digest_ = DatabasesDigest(install_);
  before_folders_ = DatabaseFolders(prefix_).size();
  record_before_ = fs::exists(install_ / kRecordFile);
  if (step.chain_start) {
    chain_before_ = before;
    chain_before_digest_ = before_digest_;
  }
}

std::vector<Finding> SafeguardJudge::After(const StepPlan& step, const DriverResult& result) {
  std::vector<Finding> found;
  JudgeUserFolders(found);
  JudgeChain(step, result, found);
  if (step.vanish != VanishKind::kNone && result.restore_clicked && result.Ended()) JudgeVanished(result, found);
  if (repeats_judged_ && step.kind == StepKind::kUpdate) JudgeRepeat(result, found);
  return found;
}

void SafeguardJudge::JudgeUserFolders(std::vector<Finding>& found) {
  for (Planting& planting : plantings_) {
    if (planting.reported) continue;
    const std::string changes = ContentChanges(planting.contents, ReadContents(planting.folder));
    if (changes.empty()) continue;
    planting.reported = true;
    found.push_back({Finding::Kind::kFolderTouched, "the user's folder " + WindowsPath(prefix_, planting.folder) +
                                                        " was touched: " + changes});
  }
}

void SafeguardJudge::JudgeChain(const StepPlan& step, const DriverResult& result, std::vector<Finding>& found) {
  if (step.chain_start) {
    chain_entry_name_ = result.selected;
    if (result.selected.empty()) return;
    chain_entry_ = ReadFolder(install_ / result.selected).tables;
    chain_entry_digest_ = DatabasesDigest(install_ / result.selected);
    return;
  }
  if (!step.chain_link || !chain_before_ || chain_entry_name_.empty() || !result.Ended()) return;
  const std::string answer = ChainAnswer(result);
  if (answer != "yes" && answer != "no") return;
  const bool put_back = answer == "yes";
  // The rows, and the files byte for byte: one database put back and the
  // other not holds the same rows in a mix of two releases' files.
  const RowSet& wanted = put_back ? *chain_before_ : chain_entry_;
  const size_t wanted_digest = put_back ? chain_before_digest_ : chain_entry_digest_;
  if (DatabasesDigest(install_) == wanted_digest && SameRows(wanted, ReadFolder(install_).tables)) return;
  const std::string what = std::string("the chain of restores ended on ") + (put_back ? "是 (put back)" : "否 (restore again)") +
                           " with data that is not " +
                           (put_back ? "the data from before its first restore" : "the backup " + chain_entry_name_ + "'s");
  if (SaysRestoreDone(result)) {
    found.push_back({Finding::Kind::kFalseSuccess, "false success: \"恢复完成\" while " + what});
  } else if (!fs::exists(install_ / kRecordFile)) {
    found.push_back({Finding::Kind::kWrongData, what + ", and no record is left to finish it"});
  }
}

void SafeguardJudge::JudgeVanished(const DriverResult& result, std::vector<Finding>& found) const {
  const std::string entry = "the restore of " + result.selected + ", gone after the listing,";
  if (DatabasesDigest(install_) != before_digest_ || !SameRows(before_, ReadFolder(install_).tables)) {
    found.push_back({Finding::Kind::kWrongData, entry + " changed the installation's databases"});
  }
  if (fs::exists(install_ / kRecordFile)) {
    found.push_back({Finding::Kind::kRecordLeft, entry + " left a record"});
  }
  const bool silent = result.exit_code == 0 && result.messages.size() == result.messages_before_restore;
  if (SaysRestoreDone(result) || silent) {
    found.push_back({Finding::Kind::kFalseSuccess,
                     "false success: " + entry + (silent ? " ended without a word" : " said \"恢复完成\"")});
  }
}

void SafeguardJudge::JudgeRepeat(const DriverResult& result, std::vector<Finding>& found) {
  if (!result.Ended()) {
    last_digest_.reset();
    return;
  }
  // Only a run that finds the update unfinished and leaves it so is a
  // repeat: giving it up starts a new update, whose backup is its own.
  const bool still_unfinished = record_before_ && fs::exists(install_ / kRecordFile);
  const size_t folders = DatabaseFolders(prefix_).size();
  if (still_unfinished && last_digest_ && *last_digest_ == before_digest_ && folders > before_folders_) {
    found.push_back({Finding::Kind::kPiledFolder,
                     "开始更新 again with the databases as the last run left them saved " +
                         std::to_string(folders - before_folders_) + " folder(s) more (" +
                         std::to_string(folders) + " folders with databases now)"});
  }
  last_digest_ = DatabasesDigest(install_);
}

}  // namespace brevak::campaign
