// The in-progress record: an update is recorded once its backup is
// complete, and an interrupted one is finished from that backup.
#include <algorithm>

#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// Matches none of the backup, package and restore patterns (nor their 8.3
// short names), and is a file, so the history list never shows it.
const char16_t kUpdateRecordName[] = u"upgrade-in-progress.brevak";

// The text after the last backslash.
std::u16string LastComponent(const std::u16string& path) {
  const size_t cut = path.find_last_of(u'\\');
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

std::u16string TrimLineEnds(std::u16string text) {
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  return text;
}

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

std::u16string FormUpdate::UpdateRecordPath() const { return sInstallDir_ + kUpdateRecordName; }

// An update that was interrupted after its backup is finished from that
// backup: backing up the half-moved installation again would lose the
// tables not yet moved. kFinish sets sBackupDir to the recorded folder.
FormUpdate::InterruptedUpdate FormUpdate::CheckInterruptedUpdate() {
  const std::optional<std::u16string> folder = RecordedBackup();
  if (!folder) return InterruptedUpdate::kNone;
  if (folder->empty() || !BackupIsWhole(*folder)) return InterruptedUpdate::kStop;
  const std::u16string question = u"上次升级没有完成，原有数据保存在：" + *folder + vb::vbCrLf +
                                  u"是否用这个备份继续完成升级？";
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(question, MsgBoxButtons::kYesNo); });
  if (answer != vbYes) return InterruptedUpdate::kStop;
  if (!DatabasesFree()) return InterruptedUpdate::kStop;
  sBackupDir_ = *folder;
  return InterruptedUpdate::kFinish;
}

// The recorded backup folder; an empty text when the record cannot be
// read (the user has been told), nothing when no update was interrupted.
std::optional<std::u16string> FormUpdate::RecordedBackup() {
  try {
    const std::optional<std::u16string> text = platform_.durable_files->ReadText(UpdateRecordPath());
    if (!text) return std::nullopt;
    return TrimLineEnds(*text);
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(u"无法读取上次升级的记录：" + UpdateRecordPath() + vb::vbCrLf + e.description(),
                      MsgBoxButtons::kOkOnly);
    });
    return u"";
  }
}

// Says which of the backup's databases are missing, if any.
bool FormUpdate::BackupIsWhole(const std::u16string& folder) {
  std::u16string missing;
  for (const char16_t* name : {kCustomerDatabase, kAddressBook}) {
    if (FileExists(folder + u"\\" + name)) continue;
    if (!missing.empty()) missing += u"、";
    missing += name;
  }
  if (missing.empty()) return true;
  const std::u16string what = FolderExists(folder) ? u"这个备份缺少：" + missing : u"这个备份文件夹已不存在。";
  ResumeNext([&] {
    window().MsgBox(u"上次升级没有完成，原有数据保存在：" + folder + vb::vbCrLf + what + vb::vbCrLf +
                        u"为免丢失数据，升级没有继续。请找回这个备份后再开始更新；如确定不再需要它，请删除" +
                        UpdateRecordPath(),
                    MsgBoxButtons::kOkOnly);
  });
  return false;
}

// The record names the backup folder, so that an update interrupted from
// here on is finished from this backup. Without it the update must not go
// on.
bool FormUpdate::RecordUpdateInProgress() {
  try {
    platform_.durable_files->WriteText(UpdateRecordPath(), sBackupDir_);
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(u"无法记录升级进度：" + e.description() + vb::vbCrLf + u"升级没有继续，原有数据已备份到：" +
                          sBackupDir_,
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

void FormUpdate::ClearUpdateRecord() {
  ResumeNext([&] { platform_.durable_files->Remove(UpdateRecordPath()); });
}

// A restore of the interrupted update's own backup puts the installation
// back as it was before that update: nothing is left to finish.
void FormUpdate::ClearRecordOfRestoredBackup(const std::u16string& entry) {
  const std::optional<std::u16string> folder = RecordedBackup();
  if (folder && SameNameIgnoringCase(LastComponent(*folder), entry)) ClearUpdateRecord();
}

}  // namespace brevak
