#include "platform/posix/version/language_names.h"

namespace brevak::posix {
namespace {

struct Language {
  uint32_t id;
  std::u16string_view name;
};

constexpr Language kLanguages[] = {
    {0x0000, u"语言无关"},
    {0x0004, u"中文(简体)"},
    {0x0404, u"中文(繁体，台湾)"},
    {0x0407, u"德语(德国)"},
    {0x0409, u"英语(美国)"},
    {0x040C, u"法语(法国)"},
    {0x0410, u"意大利语(意大利)"},
    {0x0411, u"日语(日本)"},
    {0x0412, u"朝鲜语(韩国)"},
    {0x0416, u"葡萄牙语(巴西)"},
    {0x0419, u"俄语(俄罗斯)"},
    {0x041E, u"泰语(泰国)"},
    {0x042A, u"越南语(越南)"},
    {0x0804, u"中文(简体，中国)"},
    {0x0809, u"英语(英国)"},
    {0x0C04, u"中文(繁体，香港特别行政区)"},
    {0x0C0A, u"西班牙语(西班牙)"},
    {0x1004, u"中文(简体，新加坡)"},
    {0x1404, u"中文(繁体，澳门特别行政区)"},
};

}  // namespace

std::u16string_view LanguageName(uint32_t language) {
  for (const Language& entry : kLanguages) {
    if (entry.id == language) return entry.name;
  }
  return u"未知语言";
}

}  // namespace brevak::posix
