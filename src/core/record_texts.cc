#include "core/record_texts.h"

#include "core/vb_text.h"

namespace brevak {

std::u16string FolderListText(const std::vector<NamedFolder>& folders) {
  std::u16string text;
  for (const NamedFolder& folder : folders) {
    if (!text.empty()) text += u"、";
    text += u"备份文件夹 " + folder.path + u"（" + folder.date_in_words + u"）";
  }
  return text;
}

std::u16string RecordUnreadableReason(const std::u16string& description) {
  return u"读不出这个文件：" + description;
}

std::u16string RecordIncompleteReason() { return u"它是空的、不完整，或者内容不对"; }

std::u16string RecordFolderOutsideReason(const std::u16string& value) {
  return u"它指向的文件夹不是安装文件夹中的备份文件夹：" + value;
}

std::u16string RecordEntryNotListedReason(const std::u16string& entry) {
  return u"它要恢复的 " + entry + u" 不在升级记录中";
}

std::u16string RecordDatabasesChangedReason(const std::u16string& folder) {
  return u"备份文件夹 " + folder + u" 中的数据库已不存在，或已不是当时备份的内容";
}

std::u16string RecordGoneReason() { return u"它已经不在了"; }

std::u16string UntrustedRecordQuestion(const std::u16string& reason, const std::vector<NamedFolder>& folders,
                                       const std::u16string& record_path) {
  return u"上次没有完成的升级或恢复不能继续：它留下的升级进度文件不可信（" + reason + u"）。数据没有改动。" +
         vb::vbCrLf +
         (folders.empty() ? u"没有找到保存着升级前的数据的备份文件夹。"
                          : u"升级前的数据可能在：" + FolderListText(folders) + u"。") +
         vb::vbCrLf + u"点“是”：把升级进度文件改名放到一边，然后照常进行；点“否”：什么也不改动。" + vb::vbCrLf +
         u"不确定时请点“否”，并联系技术支持。" + vb::vbCrLf + u"升级进度文件：" + record_path;
}

std::u16string SetAsideRecordLine(const std::vector<NamedFolder>& folders) {
  if (folders.empty()) {
    return u"放到一边的升级进度文件没有指出保存着升级前的数据的备份文件夹；如果缺少数据，请联系技术支持。";
  }
  return u"上次没有完成的升级或恢复之前的数据可能仍在：" + FolderListText(folders) +
         u"。如果缺少数据，请联系技术支持。";
}

std::u16string RestoreAfterSetAsideMessage(const NamedFolder& saved, const std::vector<NamedFolder>& folders) {
  return u"恢复完成。这次恢复之前的数据保存在：" + FolderListText({saved}) + u"。" + vb::vbCrLf +
         SetAsideRecordLine(folders);
}

std::u16string NewerToolRecordMessage(const std::vector<NamedFolder>& folders, const std::u16string& record_path) {
  return u"新版本的升级工具进行的一次升级还没有完成，这个升级工具不能继续它。数据没有改动。" + vb::vbCrLf +
         (folders.empty() ? u"" : u"升级前的数据在：" + FolderListText(folders) + u"。" + vb::vbCrLf) +
         u"请用那个新版本的升级工具点击“开始更新”完成那次升级；如有疑问，请联系技术支持。" + vb::vbCrLf +
         u"升级进度文件：" + record_path;
}

std::u16string RestoreNotEndedMessage(const std::u16string& entry, const std::vector<NamedFolder>& safety,
                                      const std::vector<NamedFolder>& earlier, const std::u16string& description,
                                      const std::u16string& record_path, bool put_back) {
  const std::u16string answer = put_back ? u"请点“是”，再放回一次 " + entry + u" 中的数据"
                                         : u"请选择“否”，重新恢复 " + entry;
  return u"已把 " + entry + u" 中的数据复制回安装文件夹，但这次恢复还没有结束：未能删除升级进度文件（" +
         description + u"）。" + vb::vbCrLf + u"目前的数据是 " + entry + u" 中的数据；恢复之前的数据保存在：" +
         FolderListText(safety) + u"。" + vb::vbCrLf +
         (earlier.empty() ? u"" : u"更早没有完成的升级或恢复之前的数据保存在：" + FolderListText(earlier) + u"。" + vb::vbCrLf) +
         u"下次点击“开始更新”或“恢复原来记录”时会询问上次恢复是否没有完成：" + answer +
         u"（目前的数据会先另外备份）；如果这个提示再次出现，请联系技术支持。" + vb::vbCrLf + u"升级进度文件：" +
         record_path;
}

std::u16string GiveUpNotMadeMessage(const std::vector<NamedFolder>& backup, const std::u16string& description,
                                    const std::u16string& record_path) {
  return u"没有放弃上次的升级：未能删除升级进度文件（" + description + u"）。数据没有改动。" + vb::vbCrLf +
         u"升级前的数据保存在：" + FolderListText(backup) + u"。" + vb::vbCrLf + u"请联系技术支持。" + vb::vbCrLf +
         u"升级进度文件：" + record_path;
}

std::u16string SavedButRecordLostMessage(const std::u16string& reason, const std::vector<NamedFolder>& saved,
                                         const std::vector<NamedFolder>& backup, const std::u16string& record_path) {
  return u"升级没有继续：升级进度文件不能再用（" + reason + u"）。数据没有改动。" + vb::vbCrLf +
         u"目前的数据已另外备份到：" + FolderListText(saved) + u"；升级前的数据保存在：" + FolderListText(backup) +
         u"。" + vb::vbCrLf + u"请联系技术支持。" + vb::vbCrLf + u"升级进度文件：" + record_path;
}

std::u16string RetryWillNotHelpMessage(const std::vector<std::u16string>& tables, const std::u16string& reason,
                                       const std::vector<NamedFolder>& backup,
                                       const std::vector<NamedFolder>& saved) {
  std::u16string names;
  for (const std::u16string& table : tables) names += (names.empty() ? u"" : u"、") + table;
  return u"升级没有再进行：上次升级有些数据没能转移到新版本，再试一次也转移不了。数据没有改动。" + vb::vbCrLf +
         u"没有转移的数据：" + vb::vbCrLf + names + vb::vbCrLf + u"升级前的数据保存在：" + FolderListText(backup) +
         (saved.empty() ? u"" : u"；继续升级前另存的数据在：" + FolderListText(saved)) + u"。" + vb::vbCrLf +
         u"请联系技术支持；在此之前请先不要在Brevak中录入数据。" + vb::vbCrLf + u"数据库引擎的说明：" + reason;
}

std::u16string FinishWithoutSavingLine() {
  return u"目前的数据和那次升级结束时一样，不再另外备份：升级前的数据仍在上面的备份文件夹中。";
}

}  // namespace brevak
