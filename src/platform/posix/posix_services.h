#ifndef BREVAK_PLATFORM_POSIX_POSIX_SERVICES_H_
#define BREVAK_PLATFORM_POSIX_POSIX_SERVICES_H_

// The Linux platform, put together once: for the tool, and for the tests
// that run it with the program's place or the file copier replaced.
#include <filesystem>
#include <iostream>
#include <optional>

#include "platform/platform.h"
#include "platform/posix/clock/posix_clock.h"
#include "platform/posix/database/posix_data_file_use.h"
#include "platform/posix/database/sqlcipher_database.h"
#include "platform/posix/digest/copied_digests.h"
#include "platform/posix/prefix/posix_durable_files.h"
#include "platform/posix/prefix/posix_file_digests.h"
#include "platform/posix/prefix/posix_folders.h"
#include "platform/posix/prefix/posix_instance_lock.h"
#include "platform/posix/prefix/posix_log_files.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "platform/posix/registry/posix_registry.h"
#include "platform/posix/shell_copy/posix_shell_copy.h"
#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/version/posix_version_info.h"

namespace brevak::posix {

struct PosixServiceOptions {
  // Stands for the running program (its folder is the package); the
  // running executable when not given.
  std::optional<std::filesystem::path> executable;
  // Copies each file of the shell copy; when null, the plain copier,
  // which hands the digests of its copies to the file digests.
  FileCopier* copier = nullptr;
  // Where the registry reader reports the lines it cannot read.
  std::ostream* diagnostics = &std::cerr;
};

// Every service of the Linux platform on one prefix. The shell copy writes
// through temporary names, or in place when the test knob
// BREVAK_TEST_COPY_IN_PLACE=1 is in the environment (the fault campaign's
// copier that writes as Windows' shell does; never set in a shop).
// REQUIRES: window and options.copier outlive this object.
class PosixServices {
 public:
  PosixServices(const WinePrefix& prefix, WindowSystem& window, const PosixServiceOptions& options = {});
  PosixServices(const PosixServices&) = delete;
  PosixServices& operator=(const PosixServices&) = delete;

  Platform& platform() { return platform_; }

 private:
  // Kept here: some services hold on to the prefix they are given.
  WinePrefix prefix_;
  IconvCodePage code_page_;
  PosixRegistry registry_;
  PosixVersionInfo version_info_;
  CopiedDigests copied_digests_;
  StreamingFileCopier streaming_copier_{&copied_digests_};
  PosixShellCopy shell_copy_;
  SqlCipherDatabase database_;
  PosixFolders folders_;
  PosixClock clock_;
  PosixInstanceLock instance_lock_;
  PosixDataFileUse data_file_use_;
  PosixDurableFiles durable_files_;
  PosixLogFiles log_files_;
  PosixFileDigests file_digests_;
  Platform platform_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_POSIX_SERVICES_H_
