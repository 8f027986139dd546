#ifndef BREVAK_CORE_UPGRADE_LOG_H_
#define BREVAK_CORE_UPGRADE_LOG_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

// The upgrade log: one entry for each update, finished interrupted update
// and restore, in the installation folder, for the person who later has to
// find out what the tool did after its messages were clicked away.
namespace brevak {

// Matches none of the backup and package patterns (nor, ending in ".txt",
// their 8.3 short names), so no copy takes it, no backup holds it and no
// restore replaces it; it is a file, so the history never lists it.
inline constexpr char16_t kUpgradeLogName[] = u"升级日志.txt";
// The name earlier versions of the tool gave the log. It read as the
// window's 升级记录 (the list of backups), so the first entry this version
// writes gives such a log the name above, unless a file has that name.
inline constexpr char16_t kEarlierUpgradeLogName[] = u"升级记录.txt";

// What one run did, as the log keeps it.
struct UpgradeLogEntry {
  enum class Kind { kUpdate, kFinish, kRestore };
  struct Backup {
    std::u16string folder;
    std::u16string purpose;  // whose data it keeps
    std::vector<std::u16string> files;
  };
  struct MovedTable {
    std::u16string table;
    int32_t backup_rows = 0;
    int32_t installed_rows = 0;
  };
  struct TableNotMoved {
    std::u16string table;
    std::u16string reason;
    // Set when the table was rolled back because its rows did not match.
    struct Rows {
      int32_t arrived = 0;
      int32_t backup = 0;
    };
    std::optional<Rows> rows;
  };

  LocalTime when;
  Kind kind = Kind::kUpdate;
  std::u16string installed_version;  // FileVersion of the installation's Brevak.exe before the run
  std::u16string source_version;     // of the package's, or of the restored folder's
  std::vector<Backup> backups;       // the folders the run made, in order
  std::vector<MovedTable> moved;     // tables as verified, in list order
  std::vector<TableNotMoved> not_moved;
  std::vector<std::u16string> absent;  // listed, but not in the backup's database
  std::u16string restored_folder;
  std::u16string result;  // a restore's outcome in words
  std::u16string last_message;
  // How an update or a finishing run ended, which its result line words.
  bool ended_by_error = false;  // a run-time error ended the program
  bool record_left = false;     // the in-progress record is still in the installation folder
};

// The entry in words: a header line with the time and the kind of run, then
// one fact a line, each line ended by CR LF and the entry by an empty line;
// a text of several lines continues on indented lines, so the entry holds no
// other empty line.
std::u16string FormatUpgradeLogEntry(const UpgradeLogEntry& entry);

// Appends the entry to the log of `install_dir` (which ends in a
// backslash) in the system's code page, renaming a log of the earlier name
// first. A log that cannot be renamed goes on under its earlier name; one
// that cannot be written is skipped: the log never stops or changes what
// the tool does.
void WriteUpgradeLog(Platform& platform, const std::u16string& install_dir, const UpgradeLogEntry& entry);

}  // namespace brevak

#endif  // BREVAK_CORE_UPGRADE_LOG_H_
