#ifndef BREVAK_PLATFORM_POSIX_PREFIX_HOST_FILES_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_HOST_FILES_H_

// Host file calls for the prefix's small files (the upgrade log, the
// durable records), each raising the run-time's file error when it fails.
#include <filesystem>
#include <string>

#include "platform/runtime_error.h"

namespace brevak::posix {

// The run-time's file error for a host error number.
RunTimeError HostFileError(int error);
// Raises HostFileError(errno) unless `ok`.
void CheckHostCall(bool ok);
// Writes every byte, going on after interruptions and short writes.
void WriteAll(int fd, const std::string& bytes);
// Everything from the descriptor's position to the end.
std::string ReadAll(int fd);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_HOST_FILES_H_
