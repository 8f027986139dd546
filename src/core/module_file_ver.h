#ifndef BREVAK_CORE_MODULE_FILE_VER_H_
#define BREVAK_CORE_MODULE_FILE_VER_H_

#include <array>
#include <string>

#include "platform/platform.h"

// ModuleFileVer: the version record of an executable file.
namespace brevak {

// The version record: FileVersion, InternalName, CompanyName,
// LegalCopyright, FileDescription and the display name of the language of
// the first translation entry. An element not found is the empty text.
using VersionRecord = std::array<std::u16string, 6>;

// The version record of the file at `path` (a Windows path). Six empty texts
// when the file is missing or has no version block or translation table.
// No handling of its own: a run-time error passes to the caller.
VersionRecord GetFileVer(Platform& platform, const std::u16string& path);

// `text` up to its first NUL, or whole when it holds none.
std::u16string StripNull(const std::u16string& text);

}  // namespace brevak

#endif  // BREVAK_CORE_MODULE_FILE_VER_H_
