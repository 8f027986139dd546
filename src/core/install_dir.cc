#include "core/install_dir.h"

#include "core/vb_text.h"

namespace brevak {

std::u16string InstallDirFromListing(const std::u16string& listing) {
  std::u16string text = vb::Replace(listing, u"(预设值)=", u"");
  const int32_t marker = vb::InStr(text, u"Brevak\\");
  text = vb::Left(text, marker + 6);
  return vb::Replace(text, vb::vbCrLf, u"");
}

}  // namespace brevak
