#include "core/guard_texts.h"

#include <initializer_list>

#include "core/vb_text.h"

namespace brevak::guard_text {
namespace {

// A list of names is shown whole up to this many, then cut with a count.
constexpr size_t kNamesShown = 6;

const char16_t kNothingChanged[] = u"数据没有改动。";
const char16_t kHoldOff[] = u"在此之前请先不要在Brevak中录入数据。";

std::u16string Lines(std::initializer_list<std::u16string> lines) {
  std::u16string text;
  for (const std::u16string& line : lines) text += (text.empty() ? u"" : vb::vbCrLf) + line;
  return text;
}

std::u16string NameList(const std::vector<std::u16string>& names) {
  std::u16string list;
  for (size_t i = 0; i < names.size() && i < kNamesShown; ++i) list += (i == 0 ? u"" : u"、") + names[i];
  if (names.size() > kNamesShown) list += u"等 " + vb::CStr(static_cast<int32_t>(names.size())) + u" 个文件";
  return list;
}

}  // namespace

std::u16string WindowsPath(const std::u16string& path) {
  std::u16string shown;
  for (const char16_t c : path) {
    if (c == u'\\' && !shown.empty() && shown.back() == u'\\') continue;
    shown += c;
  }
  if (shown.size() > 1 && shown.back() == u'\\') shown.pop_back();
  return shown;
}

std::u16string InstallationNotFound(const std::u16string& run, const std::u16string& install_dir) {
  const std::u16string where =
      install_dir.empty() ? u"这台电脑的Windows中没有Brevak的安装信息。"
                          : u"Windows中登记的安装文件夹 " + WindowsPath(install_dir) + u" 里没有 Brevak.exe。";
  return Lines({u"没有找到Brevak的安装文件夹，" + run + u"没有进行。", kNothingChanged, where,
                u"请在装有Brevak的电脑上运行升级程序；如果这台电脑的Brevak能正常使用，请联系技术支持。"});
}

std::u16string PackageNotExtracted(const std::u16string& folder) {
  return Lines({u"升级没有进行：升级程序所在的文件夹里没有升级包的其他文件。", kNothingChanged,
                u"升级程序所在的文件夹：" + WindowsPath(folder),
                u"如果是在压缩包（ZIP）里直接打开的升级程序，请先把整个升级包解压到这台电脑上的一个文件夹，"
                u"再从那里运行升级程序，点击“开始更新”。"});
}

std::u16string PackageFolderNameUnusable(const std::u16string& folder) {
  return Lines({u"升级没有进行：升级包所在文件夹的名称里有这台电脑的Windows不能处理的文字。", kNothingChanged,
                u"升级包所在的文件夹：" + WindowsPath(folder),
                u"请把整个升级包复制到名称只有中文、英文字母和数字的文件夹（例如 C:\\Brevak升级包），"
                u"再从那里运行升级程序，点击“开始更新”。"});
}

std::u16string RestoreFolderNameUnusable(const std::u16string& entry) {
  return Lines({u"恢复没有进行：文件夹 " + entry + u" 的名称里有这台电脑的Windows不能处理的文字。", kNothingChanged,
                u"请把这个文件夹改成只有中文、英文字母和数字的名称，再点击“显示升级记录”，选中它后恢复。"});
}

std::u16string RestoreSourceMissing(const std::u16string& entry, bool gone) {
  return Lines({u"恢复没有进行：要恢复的文件夹 " + entry + (gone ? u" 已经不存在。" : u" 中没有数据库文件。"),
                kNothingChanged, u"请点击“显示升级记录”，重新选择要恢复的数据；如有疑问，请联系技术支持。"});
}

std::u16string InstalledDatabaseProblem(const std::u16string& what, const std::u16string& path,
                                        const std::u16string& reason) {
  if (reason.empty()) {
    return Lines({u"升级没有进行：安装文件夹中没有" + what + u"。", kNothingChanged, u"请联系技术支持。",
                  u"缺少的文件：" + WindowsPath(path)});
  }
  return Lines({u"升级没有进行：安装文件夹中的" + what + u"打不开。", kNothingChanged, u"请联系技术支持。",
                u"文件：" + WindowsPath(path), u"数据库引擎的说明：" + reason});
}

std::u16string NotABackupQuestion(const std::u16string& entry, const std::vector<std::u16string>& files) {
  const std::u16string replaced = files.empty() ? u"（这个文件夹里没有文件）" : NameList(files);
  return Lines({u"要恢复的文件夹 " + entry + u" 不是升级程序建立的备份文件夹。",
                u"恢复会用其中的文件替换安装文件夹里的同名文件：", replaced,
                u"替换之前，目前的数据会先复制到一个新的备份文件夹。",
                u"点“是”：照样恢复；点“否”：不恢复，数据没有改动。不确定时请点“否”。"});
}

std::u16string CustomerDatabaseNotOpened() {
  return u"客户数据库打不开，客户数据都没有转移（各数据表的名称记在升级日志中）。";
}

std::u16string RetryAfterFreeingSpace(const std::u16string& space_problem) {
  return Lines({u"原因是磁盘空间不足：" + space_problem,
                u"释放磁盘空间后，再次点击“开始更新”即可重新转移这些数据；" + std::u16string(kHoldOff)});
}

std::u16string RetryAfterClosing(const std::u16string& path) {
  return Lines({u"原因是有文件正在被其他程序使用：" + WindowsPath(path),
                u"关闭Brevak以及可能正在使用这个文件的其他程序（如杀毒、备份软件）后，再次点击“开始更新”即可重新转移这些数据；" +
                    std::u16string(kHoldOff)});
}

std::u16string RetryWillNotHelp(const std::u16string& engine_reason) {
  return Lines({u"再次点击“开始更新”也不能解决这个问题，请联系技术支持；" + std::u16string(kHoldOff),
                u"数据库引擎的说明：" + engine_reason});
}

std::u16string BusyReason(const std::u16string& run) { return u"正在" + run + u"Brevak数据"; }

}  // namespace brevak::guard_text
