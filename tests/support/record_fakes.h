#ifndef BREVAK_TESTS_SUPPORT_RECORD_FAKES_H_
#define BREVAK_TESTS_SUPPORT_RECORD_FAKES_H_

// The backup folders and the in-progress record on in-memory services, for
// the tests of each class alone: C:\Shop\ is the installation folder.

#include "core/backup_folders.h"
#include "core/in_progress_record.h"
#include "core/journal.h"
#include "support/fake_platform.h"
#include "support/fake_window.h"

namespace brevak::testing {

struct RecordFakes {
  static constexpr char16_t kInstall[] = u"C:\\Shop\\";
  static constexpr char16_t kRecord[] = u"C:\\Shop\\upgrade-in-progress.brevak";

  FakeFolders folders;
  FakeClock clock;
  FakeDurableFiles durable_files;
  FakeFileDigests file_digests{folders};
  FakeWindow window;
  Platform platform{.folders = &folders, .window = &window, .clock = &clock, .durable_files = &durable_files,
                    .file_digests = &file_digests};
  Journal journal{durable_files};
  BackupFolders backup_folders{platform, window, journal};
  InProgressRecord record{platform, window, journal, backup_folders};
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_RECORD_FAKES_H_
