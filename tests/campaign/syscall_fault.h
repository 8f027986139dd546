#ifndef BREVAK_TESTS_CAMPAIGN_SYSCALL_FAULT_H_
#define BREVAK_TESTS_CAMPAIGN_SYSCALL_FAULT_H_

// Errors of the disk injected from outside with strace's fault injection:
// the K-th call of one system call fails with ENOSPC or EIO, without code
// of ours in the tool. A run without the fault, traced, tells which calls
// touch the shop's files (the tool's transcript is written with write()
// too, and must not be the one that fails).

#include <filesystem>
#include <string>
#include <vector>

namespace brevak::campaign {

// The system calls a fault may hit. SQLite writes with pwrite64 and
// flushes with fdatasync; the copy uses copy_file_range; the record is
// written with write; files and folders are flushed with fsync.
const std::vector<std::string>& FaultableSyscalls();

inline constexpr char kKillAtCall[] = "SIGKILL";

struct SyscallCall {
  std::string syscall;
  int index = 0;       // counted from 1 among the calls of this system call, as strace's when= counts
  std::string target;  // the file written or renamed to, as a host path
};

// The strace command line that runs a program, logging the calls of
// `syscalls` (with file names) to `log`, and, when `inject` is set, failing
// call `inject.index` of `inject.syscall` with `error`, or, when `error` is
// kKillAtCall, killing the program as it makes that call.
std::vector<std::string> StraceCommand(const std::filesystem::path& log, const std::vector<std::string>& syscalls,
                                       const SyscallCall* inject = nullptr, const std::string& error = "");

// The calls in a log that write, flush or rename something inside `root`.
std::vector<SyscallCall> CallsInside(const std::filesystem::path& log, const std::filesystem::path& root);

// The call that strace made fail, if the log shows one.
bool FindInjected(const std::filesystem::path& log, SyscallCall* call);

// Whether strace can trace here.
bool StraceWorks();

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SYSCALL_FAULT_H_
