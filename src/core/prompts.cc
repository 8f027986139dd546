#include "core/prompts.h"

#include <algorithm>
#include <stdexcept>

#include "core/vb_text.h"

namespace brevak::prompt {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// The texts, one per Id, in the order of Id. A line break is "\r\n".
const std::vector<Template> kTemplates = {
    {Id::kAnotherCopyRunning, u"Brevak升级程序已经在运行。\r\n请等它结束后再运行升级程序。"},
    {Id::kInstallationNotFound,
     u"没有找到Brevak的安装文件夹，{run}没有进行。\r\n数据没有改动。\r\n{where}\r\n"
     u"请在装有Brevak的电脑上运行升级程序；如果这台电脑的Brevak能正常使用，请联系技术支持。"},
    {Id::kNotRegistered, u"这台电脑的Windows中没有Brevak的安装信息。"},
    {Id::kRegisteredFolderWithoutProgram, u"Windows中登记的安装文件夹 {folder} 里没有 Brevak.exe。"},
    {Id::kPackageNotExtracted,
     u"升级没有进行：升级程序所在的文件夹里没有升级包的其他文件。\r\n数据没有改动。\r\n"
     u"升级程序所在的文件夹：{folder}\r\n"
     u"如果是在压缩包（ZIP）里直接打开的升级程序，请先把整个升级包解压到这台电脑上的一个文件夹，"
     u"再从那里运行升级程序，点击“开始更新”。"},
    {Id::kPackageFolderNameUnusable,
     u"升级没有进行：升级包所在文件夹的名称里有这台电脑的Windows不能处理的文字。\r\n数据没有改动。\r\n"
     u"升级包所在的文件夹：{folder}\r\n"
     u"请把整个升级包复制到名称只有中文、英文字母和数字的文件夹（例如 C:\\Brevak升级包），"
     u"再从那里运行升级程序，点击“开始更新”。"},
    {Id::kRestoreFolderNameUnusable,
     u"恢复没有进行：文件夹 {entry} 的名称里有这台电脑的Windows不能处理的文字。\r\n数据没有改动。\r\n"
     u"请把这个文件夹改成只有中文、英文字母和数字的名称，再点击“显示升级记录”，选中它后恢复。"},
    {Id::kCustomerDatabase, u"客户数据库"},
    {Id::kAddressBook, u"通讯录数据库"},
    {Id::kInstalledDatabaseMissing,
     u"升级没有进行：安装文件夹中没有{what}。\r\n数据没有改动。\r\n请联系技术支持。\r\n缺少的文件：{file}"},
    {Id::kInstalledDatabaseUnopened,
     u"升级没有进行：安装文件夹中的{what}打不开。\r\n数据没有改动。\r\n请联系技术支持。\r\n文件：{file}\r\n"
     u"数据库引擎的说明：{reason}"},
    {Id::kNotABackupQuestion,
     u"要恢复的文件夹 {entry} 不是升级程序建立的备份文件夹。\r\n"
     u"恢复会用其中的文件替换安装文件夹里的同名文件：\r\n{files}\r\n"
     u"替换之前，目前的数据会先复制到一个新的备份文件夹。\r\n"
     u"点“是”：照样恢复；点“否”：不恢复，数据没有改动。不确定时请点“否”。"},
    {Id::kNoFilesInFolder, u"（这个文件夹里没有文件）"},
    {Id::kNameSeparator, u"、"},
    {Id::kMoreFiles, u"{names}等 {count} 个文件"},
    {Id::kCustomerDatabaseNotOpened, u"客户数据库打不开，客户数据都没有转移（各数据表的名称记在升级日志中）。"},
    {Id::kRetryAfterFreeingSpace,
     u"原因是磁盘空间不足：{shortage}\r\n"
     u"释放磁盘空间后，再次点击“开始更新”即可重新转移这些数据；在此之前请先不要在Brevak中录入数据。"},
    {Id::kRetryAfterClosing,
     u"原因是有文件正在被其他程序使用：{file}\r\n"
     u"关闭Brevak以及可能正在使用这个文件的其他程序（如杀毒、备份软件）后，再次点击“开始更新”即可重新转移这些数据；"
     u"在此之前请先不要在Brevak中录入数据。"},
    {Id::kRetryWillNotHelp,
     u"再次点击“开始更新”也不能解决这个问题，请联系技术支持；在此之前请先不要在Brevak中录入数据。\r\n"
     u"数据库引擎的说明：{reason}"},
    {Id::kDataLeftInVirtualStore,
     u"升级没有进行：这台电脑上另有Brevak数据文件的副本，您最近录入的数据可能就在副本中。\r\n"
     u"数据没有改动。\r\n"
     u"副本所在的文件夹（Brevak没有以管理员身份运行时，Windows把数据写到这里）：\r\n{folders}"
     u"在技术支持核对并处理这些文件之前，每次点击“开始更新”都会停在这里。请联系技术支持。"},
    {Id::kUpdateSpaceShort,
     u"升级没有进行：磁盘空间不足。数据没有改动。\r\n备份和升级{shortage}\r\n请先释放磁盘空间，再点击“开始更新”。"},
    {Id::kRestoreSpaceShort,
     u"恢复没有进行：磁盘空间不足。数据没有改动。\r\n备份和恢复{shortage}\r\n请先释放磁盘空间，再恢复。"},
    {Id::kSpaceNeeded, u"需要 {needed} MB，安装文件夹所在的磁盘只有 {available} MB 可用。"},
    {Id::kPackageProgramDamaged,
     u"升级没有进行：升级包中的 Brevak.exe 已损坏，读不出它的版本信息。数据没有改动。\r\n"
     u"请重新获取完整的升级包后再升级。"},
    {Id::kPackageDatabaseDamaged,
     u"升级没有进行：升级包中的一个数据库打不开。数据没有改动。\r\n"
     u"请重新获取完整的升级包后再升级。\r\n打不开的数据库：{name}（{reason}）"},
    {Id::kProgramInUse,
     u"程序文件正在被其他程序使用。数据没有改动。\r\n"
     u"请先关闭Brevak以及可能正在使用这个文件的其他程序（如杀毒、备份软件），然后再试。\r\n"
     u"正在被使用的文件：{file}"},
    {Id::kDataFileInUse,
     u"数据文件正在被其他程序使用。数据没有改动。\r\n"
     u"请先关闭Brevak以及可能正在使用这个文件的其他程序（如杀毒、备份软件），然后再试。\r\n"
     u"正在被使用的文件：{file}"},
    {Id::kBackupFolderExists, u"备份文件夹已经存在：{folder}\r\n请稍后再开始更新。"},
    {Id::kBusyReason, u"正在{run}Brevak数据"},
    {Id::kFolderNamed, u"备份文件夹 {folder}（{date}）"},
    {Id::kRecordUnreadable, u"读不出这个文件：{description}"},
    {Id::kRecordIncomplete, u"它是空的、不完整，或者内容不对"},
    {Id::kRecordFolderOutside, u"它指向的文件夹不是安装文件夹中的备份文件夹：{value}"},
    {Id::kRecordEntryNotListed, u"它要恢复的 {entry} 不在“显示升级记录”列出的备份中"},
    {Id::kRecordDatabasesChanged, u"备份文件夹 {folder} 中的数据库已不存在，或已不是当时备份的内容"},
    {Id::kRecordGone, u"它已经不在了"},
    {Id::kUntrustedRecordQuestion,
     u"上次没有完成的升级或恢复不能继续：它留下的升级进度文件不可信。数据没有改动。\r\n{where}\r\n"
     u"点“是”：把升级进度文件改名留给技术支持，然后照常进行这次的升级或恢复（会先备份目前的数据），"
     u"最后的消息会再写出上面的备份文件夹；点“否”：什么也不改动。\r\n"
     u"不确定时请点“否”，并联系技术支持。\r\n升级进度文件：{file}（{reason}）"},
    {Id::kNoBackupFolderFound, u"没有找到保存着升级前的数据的备份文件夹。"},
    {Id::kBackupDataMayBeIn, u"升级前的数据可能在：{folders}。"},
    {Id::kSetAsideNamedNoFolder,
     u"改名留下的升级进度文件没有指出保存着升级前的数据的备份文件夹；如果缺少数据，请联系技术支持。"},
    {Id::kSetAsideFolders, u"上次没有完成的升级或恢复之前的数据可能仍在：{folders}。如果缺少数据，请联系技术支持。"},
    {Id::kRestoreAfterSetAside, u"恢复完成。这次恢复之前的数据保存在：{saved}。\r\n{set_aside}"},
    {Id::kNewerToolRecord,
     u"新版本的升级工具进行的一次升级还没有完成，这个升级工具不能继续它。数据没有改动。\r\n{where}"
     u"请用那个新版本的升级工具点击“开始更新”完成那次升级；如有疑问，请联系技术支持。\r\n升级进度文件：{file}"},
    {Id::kBackupDataIn, u"升级前的数据在：{folders}。\r\n"},
    {Id::kRestoreNotEnded,
     u"已把 {entry} 中的数据复制回安装文件夹，但这次恢复还没有结束：未能改动升级进度文件（{description}）。\r\n"
     u"目前的数据是 {entry} 中的数据；恢复之前的数据保存在：{safety}。\r\n{earlier}"
     u"下次点击{buttons}时会询问上次恢复是否没有完成：{answer}"
     u"（目前的数据会先另外备份）；如果这个提示再次出现，请联系技术支持。\r\n升级进度文件：{file}"},
    {Id::kEarlierDataIn, u"更早没有完成的升级或恢复之前的数据保存在：{folders}。\r\n"},
    {Id::kPutBackAgain, u"请点“是”，再放回一次 {entry} 中的数据"},
    {Id::kRestoreAgain, u"请点“否”，重新恢复 {entry}"},
    {Id::kGiveUpNotMade,
     u"没有放弃上次的升级：未能删除升级进度文件（{description}）。数据没有改动。\r\n"
     u"升级前的数据保存在：{backup}。\r\n请联系技术支持。\r\n升级进度文件：{file}"},
    {Id::kSavedButRecordLost,
     u"升级没有继续：升级进度文件不能再用（{reason}）。数据没有改动。\r\n"
     u"继续升级前另存的数据在：{saved}；升级前的数据保存在：{backup}。\r\n请联系技术支持。\r\n升级进度文件：{file}"},
    {Id::kRetryWillNotHelpMessage,
     u"升级没有再进行：上次升级有些数据没能转移到新版本，再试一次也转移不了。数据没有改动。\r\n"
     u"没有转移的数据：\r\n{tables}\r\n升级前的数据保存在：{backup}{saved}。\r\n"
     u"请联系技术支持；在此之前请先不要在Brevak中录入数据。\r\n数据库引擎的说明：{reason}"},
    {Id::kSavedBeforeFinishingIn, u"；继续升级前另存的数据在：{folders}"},
    {Id::kFinishWithoutSaving, u"目前的数据和那次升级结束时一样，不再另外备份：升级前的数据仍在上面的备份文件夹中。"},
    {Id::kTryAgain, u"请稍后再点击“{button}”；如果这个提示再次出现，请联系技术支持。"},
    {Id::kProgressFileNotWritten,
     u"{what}：无法写入升级进度文件（{description}）。数据没有改动。\r\n{next_step}\r\n升级进度文件：{file}"},
    {Id::kUnfinishedCopyNotEnded, u"上次没有完成的备份未能结束"},
    {Id::kCallSupport, u"请联系技术支持。"},
    {Id::kBackupFolderNotMade, u"{what}：无法建立{folder}（{description}）。数据没有改动。\r\n{next_step}"},
    {Id::kUnfinishedCopyKept,
     u"上次的备份没有完成，留下了不完整的{folder}（{why}）。数据没有改动。\r\n"
     u"这个备份文件夹中的数据不完整，请不要用它恢复。\r\n{next_step}"},
    {Id::kForeignFiles, u"其中有备份之外的文件"},
    {Id::kCopyNotRemoved, u"未能删除：{description}"},
    {Id::kMoveYourFilesFirst, u"请先移走其中您自己的文件，再删除这个文件夹；如有疑问，请联系技术支持。"},
    {Id::kMayDeleteFolder, u"可以自己删除这个文件夹；如有疑问，请联系技术支持。"},
    {Id::kRecordNotSetAside,
     u"升级进度文件未能改名（{description}），这次没有进行升级或恢复。数据没有改动。\r\n请联系技术支持。"},
    {Id::kFinishQuestion,
     u"上次升级没有完成。{since}\r\n升级前的数据在{backup}。{saved}\r\n{saving}\r\n"
     u"点“是”：用升级前的数据继续完成那次升级；点“否”：不继续，接着会问是否放弃那次升级。\r\n"
     u"不确定时请点“否”，并联系技术支持。"},
    {Id::kWorkSinceUnknown, u"如果那次升级之后又在Brevak中录入过数据，继续完成升级会用升级前的数据替换这些数据。"},
    {Id::kWorkSinceChanged, u"那次升级之后Brevak中的数据又有了改动，继续完成升级会用升级前的数据替换这些改动。"},
    {Id::kWorkSinceUnchanged, u"那次升级之后Brevak中的数据没有改动。"},
    {Id::kSaveBeforeFinishing, u"继续之前，目前的数据会先另存到一个备份文件夹。"},
    {Id::kGiveUpQuestion,
     u"是否放弃这次没有完成的升级？\r\n"
     u"点“是”：放弃那次升级，照常开始一次新的升级（会先备份目前的数据）；升级前的数据仍保留在{backup}。{saved}\r\n"
     u"点“否”：什么也不改动。不确定时请点“否”，并联系技术支持。"},
    {Id::kSavedEarlierIn, u"\r\n继续升级前另存的数据在：{folders}"},
    {Id::kGivenUpDataIn, u"\r\n放弃的那次升级之前的数据仍保存在：{folder}"},
    {Id::kProgressNotNoted, u"{what_stops}{folder}。\r\n原因是无法写入升级进度文件：{description}\r\n请联系技术支持。"},
    {Id::kUpdateStopsAfterSaving, u"升级没有继续，数据没有改动。继续升级前另存的数据在"},
    {Id::kUpdateStopsAfterBackup, u"升级没有继续，数据没有改动。升级前的数据在"},
    {Id::kRecordNotRemoved,
     u"数据都已转移到新版本，但未能删除升级进度文件（{description}），这次升级还不算结束。\r\n"
     u"下次点击“开始更新”时会问上次升级是否没有完成：请点“否”，接着问是否放弃时点“是”。\r\n"
     u"如果这个提示再次出现，请联系技术支持。\r\n升级进度文件：{file}"},
    {Id::kRestoreSourceGone,
     u"恢复没有进行：要恢复的文件夹 {entry} 已经不存在。\r\n数据没有改动。\r\n"
     u"请点击“显示升级记录”，重新选择要恢复的数据；如有疑问，请联系技术支持。"},
    {Id::kRestoreSourceEmpty,
     u"恢复没有进行：要恢复的文件夹 {entry} 中没有数据库文件。\r\n数据没有改动。\r\n"
     u"请点击“显示升级记录”，重新选择要恢复的数据；如有疑问，请联系技术支持。"},
    {Id::kUpdateStillUnfinished,
     u"上次升级没有完成，升级前的数据仍保存在：{backup}\r\n点击“开始更新”可以继续完成那次升级。"},
    {Id::kUpdateGivenUpByRestore, u"上次没有完成的升级不再继续，那次升级之前的数据仍保存在：{backup}"},
    {Id::kRestoreDone, u"恢复完成。\r\n这次恢复之前的数据保存在：{safety}\r\n{update_line}"},
    {Id::kInterruptedRestoreDone,
     u"恢复完成。\r\n这次恢复之前的数据保存在：{safety}\r\n上次没有完成的恢复之前的数据保存在：{earlier}"
     u"{update_line}"},
    {Id::kRestoreStops, u"恢复没有进行，目前的数据没有改动，并已备份到："},
    {Id::kRestoreCopyFailed,
     u"恢复没有完成：{failure}，安装文件夹中的数据可能只恢复了一部分。\r\n"
     u"恢复前的数据保存在{saved}中。\r\n"
     u"请先不要在Brevak中录入数据。再次点击{buttons}，可以选择撤销恢复（放回恢复前的数据）或者重新恢复。\r\n"
     u"复制出错的文件夹：{source}"},
    {Id::kInterruptedRestoreQuestion,
     u"上次恢复数据没有完成，安装文件夹中的数据可能只恢复了一部分，请先不要在Brevak中录入数据。\r\n"
     u"恢复前的数据保存在：{safety}\r\n"
     u"点“是”：撤销恢复（放回恢复前的数据）；\r\n点“否”：重新恢复 {entry}；\r\n"
     u"点“取消”：什么也不改动。不确定时请点“取消”，并联系技术支持。"},
    {Id::kRestoreBackupPurpose, u"恢复之前的数据，即这次恢复替换掉的文件"},
    {Id::kRestoreBackupFailed, u"恢复没有进行：恢复前未能备份目前的数据，{failure}。\r\n数据没有改动。"},
    {Id::kCopyRequestNotMade, u"无法执行文件复制：{description}"},
    {Id::kCopyCancelled, u"复制被取消"},
    {Id::kCopyFailedWithCode, u"复制失败（Windows错误代码 {code}）"},
    {Id::kCopyAborted, u"复制被中止"},
    {Id::kUpdateBackupPurpose, u"升级之前的数据"},
    {Id::kFinishBackupPurpose, u"上次升级之前的数据（上次升级时建立），这次从中继续转移"},
    {Id::kSavedBeforeFinishPurpose, u"继续升级前另存的数据"},
    {Id::kPackageCopyFailed,
     u"升级没有完成：复制升级文件时出错。升级前的数据保存在：{backup}{saved}{given_up}\r\n"
     u"再次点击“开始更新”即可继续完成升级。"},
    {Id::kSavedBeforeFinishLine, u"\r\n继续升级前另存的数据保存在：{folders}"},
    {Id::kTablesNotMoved, u"升级没有完成：有 {count} 个数据表的数据没有转移到新版本中：\r\n{tables}"},
    {Id::kBackupStillHolds, u"这些数据没有丢失，仍保存在{backup}中。"},
    {Id::kSavedBeforeFinishAfterMigration, u"继续升级前另存的数据保存在：{folders}"},
    {Id::kLogRestoreDone, u"恢复完成"},
    {Id::kLogRestoreNotDone, u"恢复没有完成：{failure}"},
    {Id::kLogEndedByError, u"（随后程序因运行时错误而结束）"},
    {Id::kLogKindUpdate, u"升级"},
    {Id::kLogKindFinish, u"继续完成上次升级"},
    {Id::kLogKindRestore, u"恢复"},
    {Id::kLogUpdateDone, u"升级完成"},
    {Id::kLogUpdateNotDone, u"升级没有完成：{what}"},
    {Id::kLogTablesNotMoved, u"{count} 个数据表没有转移"},
    {Id::kLogNothingMoved, u"数据没有转移"},
    {Id::kLogAllTablesMoved, u"数据表都已转移"},
    {Id::kLogThenRunTimeError, u"，随后程序因运行时错误而结束"},
    {Id::kLogProgressFileLeft,
     u"；升级进度文件（upgrade-in-progress.brevak）仍在，下次点击“开始更新”会询问是否继续完成这次升级"},
    {Id::kLogRowsDiffered, u"转入后有 {arrived} 条，备份中有 {backup} 条，条数不一致，这个数据表的转移已撤回"},
    {Id::kLogUnreadable, u"（无法读取）"},
    {Id::kLogNoFiles, u"（没有文件）"},
    {Id::kLogMoved, u"已转移：{table}，备份中 {backup} 条，升级后 {installed} 条"},
    {Id::kLogNotMoved, u"未转移：{table}，原因：{reason}"},
    {Id::kLogAbsent, u"无需转移：{table}，升级前的数据库中没有这个数据表"},
    {Id::kLogInstalledVersion, u"原来安装的版本："},
    {Id::kLogRestoredVersion, u"恢复的备份中的版本："},
    {Id::kLogPackageVersion, u"升级包的版本："},
    {Id::kLogRestoredFolder, u"恢复的文件夹："},
    {Id::kLogBackupFolder, u"备份文件夹：{folder}（{purpose}：{files}）"},
    {Id::kLogResult, u"结果："},
    {Id::kLogLastMessage, u"最后显示的消息："},
    {Id::kLogNoMessage, u"（没有显示消息）"},
    {Id::kRestoreBackupFolderExists,
     u"恢复没有进行：备份文件夹 {folder} 已经存在。\r\n数据没有改动。\r\n"
     u"请稍等一会儿再点击{buttons}；如果这个提示再次出现，请联系技术支持。"},
    {Id::kRestoreOrUpdateButtons, u"“{button}”或“开始更新”"},
    {Id::kUpdateButtonOnly, u"“开始更新”"},
    {Id::kCopyFailedNoReason, u"复制失败（Windows没有说明原因）"},
    {Id::kUpdateBackupFailed,
     u"升级没有进行：升级前未能备份目前的数据，{failure}。\r\n数据没有改动。\r\n"
     u"排除原因后请再点击“开始更新”；如果这个提示再次出现，请联系技术支持。"},
    {Id::kFinishSaveFailed,
     u"升级没有继续：继续升级前未能另存目前的数据，{failure}。\r\n数据没有改动，上次的升级仍没有完成。\r\n"
     u"请先不要在Brevak中录入数据；排除原因后请再点击“开始更新”；如果这个提示再次出现，请联系技术支持。"},
};

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

}  // namespace

const std::vector<Template>& Templates() { return kTemplates; }

std::vector<std::u16string> PlaceholdersOf(std::u16string_view text) {
  std::vector<std::u16string> names;
  for (size_t open = text.find(u'{'); open != std::u16string_view::npos; open = text.find(u'{', open + 1)) {
    const size_t close = text.find(u'}', open);
    if (close == std::u16string_view::npos) break;
    names.emplace_back(text.substr(open + 1, close - open - 1));
  }
  return names;
}

std::u16string Fill(Id id, const Values& values) {
  const std::u16string_view text = kTemplates.at(static_cast<size_t>(id)).text;
  const std::vector<std::u16string> names = PlaceholdersOf(text);
  for (const auto& [name, value] : values) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      throw std::logic_error("prompt " + std::to_string(static_cast<int>(id)) + " has no placeholder {" +
                             Narrow(name) + "}");
    }
  }
  std::u16string filled;
  size_t from = 0;
  for (size_t open = text.find(u'{'); open != std::u16string_view::npos; open = text.find(u'{', from)) {
    const size_t close = text.find(u'}', open);
    if (close == std::u16string_view::npos) break;
    const std::u16string_view name = text.substr(open + 1, close - open - 1);
    const auto value = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == name; });
    if (value == values.end()) {
      throw std::logic_error("prompt " + std::to_string(static_cast<int>(id)) + " lacks a value for {" +
                             Narrow(name) + "}");
    }
    filled.append(text.substr(from, open - from)).append(value->second);
    from = close + 1;
  }
  return filled.append(text.substr(from));
}

std::u16string AnotherCopyRunning() { return Fill(Id::kAnotherCopyRunning); }

std::u16string DataLeftInVirtualStore(const std::vector<std::u16string>& folders) {
  std::u16string lines;
  for (const std::u16string& folder : folders) lines += ShownPath(folder) + vb::vbCrLf;
  return Fill(Id::kDataLeftInVirtualStore, {{u"folders", lines}});
}

std::u16string SpaceShort(const std::u16string& run, const std::u16string& shortage) {
  return Fill(run == kRestore ? Id::kRestoreSpaceShort : Id::kUpdateSpaceShort, {{u"shortage", shortage}});
}

// Megabytes, rounded up for what is needed and down for what is there.
std::u16string SpaceNeeded(int64_t needed, int64_t available) {
  return Fill(Id::kSpaceNeeded, {{u"needed", vb::CStr((needed + kMegabyte - 1) / kMegabyte)},
                                 {u"available", vb::CStr(available / kMegabyte)}});
}

std::u16string PackageProgramDamaged() { return Fill(Id::kPackageProgramDamaged); }

std::u16string PackageDatabaseDamaged(const std::u16string& name, const std::u16string& reason) {
  return Fill(Id::kPackageDatabaseDamaged, {{u"name", name}, {u"reason", reason}});
}

std::u16string FileInUse(const std::u16string& path) {
  const bool program = vb::LCase(path).ends_with(u".exe");
  return Fill(program ? Id::kProgramInUse : Id::kDataFileInUse, {{u"file", path}});
}

std::u16string BackupFolderExists(const std::u16string& folder) {
  return Fill(Id::kBackupFolderExists, {{u"folder", folder}});
}

std::u16string CustomerDatabase() { return Fill(Id::kCustomerDatabase); }
std::u16string AddressBook() { return Fill(Id::kAddressBook); }

std::u16string UnfinishedUpdateLine(const std::u16string& backup, bool still_unfinished) {
  return Fill(still_unfinished ? Id::kUpdateStillUnfinished : Id::kUpdateGivenUpByRestore, {{u"backup", backup}});
}

std::u16string RestoreDone(const std::u16string& safety, const std::u16string& update_line) {
  return Fill(Id::kRestoreDone, {{u"safety", safety}, {u"update_line", update_line}});
}

std::u16string InterruptedRestoreDone(const std::u16string& safety, const std::u16string& earlier,
                                      const std::u16string& update_line) {
  return Fill(Id::kInterruptedRestoreDone,
              {{u"safety", safety},
               {u"earlier", earlier},
               {u"update_line", update_line.empty() ? u"" : vb::vbCrLf + update_line}});
}

std::u16string RestoreStops() { return Fill(Id::kRestoreStops); }

std::u16string RestoreCopyFailed(const std::u16string& source, const std::u16string& failure,
                                 const std::u16string& saved, const std::u16string& button) {
  return Fill(Id::kRestoreCopyFailed, {{u"source", ShownPath(source)},
                                       {u"failure", failure},
                                       {u"saved", ShownPath(saved)},
                                       {u"buttons", RestoreButtons(button)}});
}

std::u16string InterruptedRestoreQuestion(const std::u16string& safety, const std::u16string& entry) {
  return Fill(Id::kInterruptedRestoreQuestion, {{u"safety", safety}, {u"entry", entry}});
}

std::u16string RestoreBackupFailed(const std::u16string& failure) {
  return Fill(Id::kRestoreBackupFailed, {{u"failure", failure}});
}

std::u16string RestoreBackupPurpose() { return Fill(Id::kRestoreBackupPurpose); }
std::u16string UpdateBackupPurpose() { return Fill(Id::kUpdateBackupPurpose); }
std::u16string FinishBackupPurpose() { return Fill(Id::kFinishBackupPurpose); }
std::u16string SavedBeforeFinishPurpose() { return Fill(Id::kSavedBeforeFinishPurpose); }

std::u16string CopyRequestNotMade(const std::u16string& description) {
  return Fill(Id::kCopyRequestNotMade, {{u"description", description}});
}
std::u16string CopyCancelled() { return Fill(Id::kCopyCancelled); }
std::u16string CopyFailedWithCode(const std::u16string& code) {
  return code == u"0" ? Fill(Id::kCopyFailedNoReason) : Fill(Id::kCopyFailedWithCode, {{u"code", code}});
}
std::u16string CopyAborted() { return Fill(Id::kCopyAborted); }

std::u16string PackageCopyFailed(const std::u16string& backup, const std::u16string& saved,
                                 const std::u16string& given_up) {
  return Fill(Id::kPackageCopyFailed,
              {{u"backup", backup},
               {u"saved", saved.empty() ? u"" : Fill(Id::kSavedBeforeFinishLine, {{u"folders", saved}})},
               {u"given_up", given_up}});
}

std::u16string TablesNotMoved(const std::vector<std::u16string>& tables) {
  std::u16string names;
  for (const std::u16string& table : tables) names += (names.empty() ? u"" : Fill(Id::kNameSeparator)) + table;
  return Fill(Id::kTablesNotMoved,
              {{u"count", vb::CStr(static_cast<int32_t>(tables.size()))}, {u"tables", names}});
}

std::u16string BackupStillHolds(const std::u16string& backup) {
  return Fill(Id::kBackupStillHolds, {{u"backup", ShownPath(backup)}});
}
std::u16string SavedBeforeFinishAfterMigration(const std::u16string& folders) {
  return Fill(Id::kSavedBeforeFinishAfterMigration, {{u"folders", folders}});
}

std::u16string LogRestoreResult(bool succeeded, const std::u16string& failure) {
  return succeeded ? Fill(Id::kLogRestoreDone) : Fill(Id::kLogRestoreNotDone, {{u"failure", failure}});
}

std::u16string LogEndedByError() { return Fill(Id::kLogEndedByError); }

std::u16string RestoreBackupFolderExists(const std::u16string& folder, const std::u16string& button) {
  return Fill(Id::kRestoreBackupFolderExists, {{u"folder", ShownPath(folder)}, {u"buttons", RestoreButtons(button)}});
}

std::u16string RestoreButtons(const std::u16string& button) {
  return button.empty() ? Fill(Id::kUpdateButtonOnly) : Fill(Id::kRestoreOrUpdateButtons, {{u"button", button}});
}

std::u16string BackupFailed(bool finishing, const std::u16string& failure) {
  return Fill(finishing ? Id::kFinishSaveFailed : Id::kUpdateBackupFailed, {{u"failure", failure}});
}

// A doubled backslash left by joining a folder that ends in one (the
// installation folder as Windows registers it) and a "/" the registration
// may hold show as one backslash; a network path keeps its leading two.
std::u16string ShownPath(std::u16string_view path) {
  std::u16string shown;
  for (size_t i = 0; i < path.size(); ++i) {
    const char16_t c = path[i] == u'/' ? u'\\' : path[i];
    if (c == u'\\' && !shown.empty() && shown.back() == u'\\' && shown.size() > 1) continue;
    shown += c;
  }
  return shown;
}

}  // namespace brevak::prompt
