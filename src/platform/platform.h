#ifndef BREVAK_PLATFORM_PLATFORM_H_
#define BREVAK_PLATFORM_PLATFORM_H_

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/data_file_use.h"
#include "platform/database.h"
#include "platform/durable_files.h"
#include "platform/file_digests.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"
#include "platform/log_files.h"
#include "platform/registry.h"
#include "platform/runtime_error.h"
#include "platform/shell_copy.h"
#include "platform/version_info.h"
#include "platform/window_system.h"

namespace brevak {

// Every platform service the tool uses; each one is required. The build
// picks the implementations; tests give fakes.
struct Platform {
  Registry* registry = nullptr;
  VersionInfo* version_info = nullptr;
  ShellCopy* shell_copy = nullptr;
  Database* database = nullptr;
  Folders* folders = nullptr;
  WindowSystem* window = nullptr;
  Clock* clock = nullptr;
  CodePage* code_page = nullptr;
  InstanceLock* instance_lock = nullptr;
  DataFileUse* data_file_use = nullptr;
  DurableFiles* durable_files = nullptr;
  LogFiles* log_files = nullptr;
  FileDigests* file_digests = nullptr;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_PLATFORM_H_
