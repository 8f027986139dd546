#include "core/module_main.h"

#include "core/upgrade_lock.h"
#include "core/vb_text.h"

namespace brevak {

std::u16string StartPrompt() {
  return std::u16string(u"升级程序升级和备份本机数据：") + vb::vbCrLf +
         u"运行升级程序之前请先将您的关键数据备份到excel" + vb::vbCrLf +
         u"升级程序虽然能将您已存的大部分数据自动拷贝到升级后的Brevak软件中" + vb::vbCrLf +
         u"但是保险公司政策折扣信息需要您自行备份(excel)并导入到升级后的软件中" + vb::vbCrLf +
         u"是否继续？";
}

void Main(Platform& platform, FormUpdate& form) {
  // A second copy must not back up or overwrite what the first is moving.
  if (!TakeUpgradeLock(platform)) return;
  if (platform.window->MsgBox(StartPrompt(), MsgBoxButtons::kYesNo) != vbYes) return;
  platform.window->Show(&form);
}

}  // namespace brevak
