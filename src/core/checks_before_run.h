#ifndef BREVAK_CORE_CHECKS_BEFORE_RUN_H_
#define BREVAK_CORE_CHECKS_BEFORE_RUN_H_

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/copy_requests.h"
#include "core/preconditions.h"
#include "core/space_check.h"
#include "platform/platform.h"

namespace brevak {

// The runs that make the checks before anything changes.
enum class CheckedRun { kNewUpdate, kFinishing, kRestore };

// The checks made before a run changes anything, as one table (kChecks, at
// the head of checks_before_run.cc) of which check runs for a new update,
// for the finishing of an interrupted one and for a restore, and in which
// order; and the same checks made again after an update whose tables did
// not all move, to tell whether a retry can help. Each check that fails
// tells the user what is wrong and stops the run; none changes a file.
// They come after the checks every click makes before the in-progress
// record is read (Preconditions: an installation, and for an update a
// usable package), and before the run's log entry begins.
//
// Finishing an interrupted update looks in the VirtualStore as a new
// update does. Its files were written by Brevak without administrator
// rights after the last update that checked: finishing would migrate the
// backup's older data and say "升级完成" while the shop's newest entries
// stay shadowed there, so it stops the same way, and the in-progress
// record stays for the next 开始更新.
class ChecksBeforeRun {
 public:
  // What the checks ask of the window that makes them.
  struct WindowHooks {
    // The package's main program is newer than the installed one, or the
    // two cannot be compared.
    std::function<bool()> package_newer;
    // Closes the window's own connection, if open: it is no other user of
    // the databases.
    std::function<void()> close_connection;
  };

  // `window` is the window the handlers show their messages in.
  ChecksBeforeRun(Platform& platform, WindowSystem& window, Preconditions& preconditions, CopyRequests& copies,
                  WindowHooks hooks)
      : platform_(platform),
        window_(window),
        preconditions_(preconditions),
        copies_(copies),
        space_(platform),
        hooks_(std::move(hooks)) {}

  // Makes the checks of `run` in its order on the installation folder
  // `install_dir`; `entry` is the list entry a restore copies back. False,
  // after telling the user why, when the run must not go on.
  bool PassChecksBefore(CheckedRun run, const std::u16string& install_dir, const std::u16string& entry = u"");

  // What a retry of an update whose tables did not all move needs removed
  // first, found by making the update's own checks again; nothing when
  // they find no such cause.
  std::optional<std::u16string> RetryRemedy(const std::u16string& install_dir);
  // How the message of an update with tables not moved ends: the remedy,
  // or that a retry will not help, with the engine's word
  // (`engine_reason`).
  static std::u16string RetryEnding(const std::optional<std::u16string>& remedy,
                                    const std::u16string& engine_reason);

 private:
  // Each check says what is wrong to the user and returns false when the
  // run must not go on.
  bool PassVersionGate();
  // True (after telling the user) when the VirtualStore holds data files.
  bool DataLeftInVirtualStore(const std::u16string& install_dir);
  bool EnoughSpace(CheckedRun run, const std::u16string& install_dir, const std::u16string& entry);
  bool PackageWhole();
  // The problem to tell the user, or the empty text.
  std::u16string DatabaseProblem(const std::u16string& package, const std::u16string& name,
                                 const std::u16string& password);
  // No other program holds the installation's databases.
  bool DatabasesFree(const std::u16string& install_dir);
  // The installation's file another program holds, or the empty text.
  // Closes the tool's own connection first: it is no other user.
  std::u16string FileInUse(const std::u16string& install_dir);

  Platform& platform_;
  WindowSystem& window_;
  Preconditions& preconditions_;
  CopyRequests& copies_;
  SpaceCheck space_;
  WindowHooks hooks_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_CHECKS_BEFORE_RUN_H_
