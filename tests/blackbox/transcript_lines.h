#ifndef BREVAK_TESTS_BLACKBOX_TRANSCRIPT_LINES_H_
#define BREVAK_TESTS_BLACKBOX_TRANSCRIPT_LINES_H_

// Transcript lines the tests expect, spelled out as the user sees the
// texts (CR LF written as \r\n, a backslash as \\).

#include <string>
#include <vector>

namespace brevak::testing {

inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

inline std::string StartPromptLine() {
  return "msgbox YesNo " + Escaped(
                               "升级程序升级和备份本机数据：\r\n"
                               "运行升级程序之前请先将您的关键数据备份到excel\r\n"
                               "升级程序虽然能将您已存的大部分数据自动拷贝到升级后的Brevak软件中\r\n"
                               "但是保险公司政策折扣信息需要您自行备份(excel)并导入到升级后的软件中\r\n"
                               "是否继续？");
}

inline std::string OkBox(const std::string& text) { return "msgbox OK " + Escaped(text); }

inline const std::string kNotNewerQuestion = "msgbox YesNo 升级版本并不比当前版本更新，是否继续？";
inline const std::string kUpgradeComplete = "msgbox OK 升级完成";

// A backup folder as the messages name it: "备份文件夹 PATH（2026年12月09日18时32分48秒）".
inline std::string NamedBackup(const std::string& install_windows, const std::string& stamp) {
  return "备份文件夹 " + install_windows + stamp + "（" + stamp.substr(0, 4) + "年" + stamp.substr(4, 2) + "月" +
         stamp.substr(6, 2) + "日" + stamp.substr(8, 2) + "时" + stamp.substr(10, 2) + "分" + stamp.substr(12, 2) + "秒）";
}

// The transcript from `first` on, up to and without `last` (not included);
// all of the rest when `last` does not follow.
inline std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& first,
                                        const std::string& last) {
  std::vector<std::string> out;
  bool inside = false;
  for (const std::string& line : lines) {
    if (line == first) inside = true;
    if (inside && line == last) break;
    if (inside) out.push_back(line);
  }
  return out;
}

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_BLACKBOX_TRANSCRIPT_LINES_H_
