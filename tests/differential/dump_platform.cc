// dump-platform: the registry listing and version records the core reads,
// built for both platforms. Run on the same Wine prefix, the Windows build
// (Wine's registry and version.dll) and the Linux build (system.reg and the
// PE reader) must print the same bytes.
#include "dump_platform.h"

#include <optional>

#include "core/module_file_ver.h"
#include "core/module_reg_api.h"
#include "platform/scripted/transcript.h"

namespace brevak {

void DumpPlatform(Platform& platform, const std::vector<std::u16string>& paths,
                  std::ostream& out) {
  const std::optional<std::u16string> listing = ListRegValues(platform);
  if (listing) {
    out << "listing \"" << EscapeText(*listing) << "\"\n";
  } else {
    out << "listing (none)\n";
  }
  for (const std::u16string& path : paths) {
    out << "file " << EscapeText(path) << "\n";
    try {
      const VersionRecord record = GetFileVer(platform, path);
      for (size_t i = 0; i < record.size(); ++i) {
        out << "  " << i << " \"" << EscapeText(record[i]) << "\"\n";
      }
    } catch (const RunTimeError& error) {
      out << "  error " << error.number() << " " << EscapeText(error.description()) << "\n";
    }
  }
  out.flush();
}

}  // namespace brevak
