#ifndef BREVAK_PLATFORM_WIN32_WIN32_DATA_FILE_USE_H_
#define BREVAK_PLATFORM_WIN32_WIN32_DATA_FILE_USE_H_

#include "platform/data_file_use.h"

namespace brevak::win32 {

// A Jet database is in use while any program has it open: then it cannot
// be opened exclusively (no sharing at all). The password plays no part.
class Win32DataFileUse : public DataFileUse {
 public:
  bool InUse(const std::u16string& path, const std::u16string& password) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_DATA_FILE_USE_H_
