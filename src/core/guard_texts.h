#ifndef BREVAK_CORE_GUARD_TEXTS_H_
#define BREVAK_CORE_GUARD_TEXTS_H_

#include <string>
#include <vector>

#include "core/prompts.h"

// The texts with which the update and the restore refuse to start, ask
// before a restore of a folder that is no backup, and end an update whose
// tables did not all move. Each is built from its template in the prompts
// with the values it names, so that the words live apart from the checks
// that choose them.
namespace brevak::guard_text {

// What a refused run is.
using prompt::kRestore;
using prompt::kUpdate;

// A path as Windows shows it: one backslash between parts, none at the end.
std::u16string WindowsPath(const std::u16string& path);

// The registry names no installation folder (`install_dir` empty), or the
// folder it names holds no Brevak.exe.
std::u16string InstallationNotFound(const std::u16string& run, const std::u16string& install_dir);
// The tool's own folder holds no Brevak.exe: it was started from inside a
// ZIP file, or copied out alone.
std::u16string PackageNotExtracted(const std::u16string& folder);
// The package folder's name holds characters the system's code page
// cannot hold, so that no program of the package can be read or copied.
std::u16string PackageFolderNameUnusable(const std::u16string& folder);
// A listed folder whose name the code page cannot hold: no file in it can
// be named to the copy.
std::u16string RestoreFolderNameUnusable(const std::u16string& entry);
// A folder to restore from that is gone (`gone`) or holds no database,
// found before anything is copied.
std::u16string RestoreSourceMissing(const std::u16string& entry, bool gone);
// An installed database (`what`: 客户数据库, 通讯录数据库) is missing
// (`reason` empty) or does not open (`reason`: the engine's description).
std::u16string InstalledDatabaseProblem(const std::u16string& what, const std::u16string& path,
                                        const std::u16string& reason);

// The question before restoring a listed folder that is no backup. `files`
// are the names of the files it holds.
std::u16string NotABackupQuestion(const std::u16string& entry, const std::vector<std::u16string>& files);

// The customer database did not open, so none of its tables moved.
std::u16string CustomerDatabaseNotOpened();
// How an update whose tables did not all move ends: the cause a retry
// needs removed (too little space, a file held by another program), or, when
// the tool finds none, that a retry will not help.
std::u16string RetryAfterFreeingSpace(const std::u16string& space_problem);
std::u16string RetryAfterClosing(const std::u16string& path);
std::u16string RetryWillNotHelp(const std::u16string& engine_reason);

// What a running handler is doing (`run`: kUpdate or kRestore), for the
// system's texts while it runs, e.g. the reason a shutdown waits.
std::u16string BusyReason(const std::u16string& run);

}  // namespace brevak::guard_text

#endif  // BREVAK_CORE_GUARD_TEXTS_H_
