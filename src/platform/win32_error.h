#ifndef BREVAK_PLATFORM_WIN32_ERROR_H_
#define BREVAK_PLATFORM_WIN32_ERROR_H_

// The Win32 error numbers that the platform's calls return (the registry,
// the shell copy, the thread's last error), under their Windows names. A
// file that also includes windows.h includes it after this header: windows.h
// defines the same names as macros with the same values.

#include <cstdint>

namespace brevak {

inline constexpr int32_t ERROR_SUCCESS = 0;
inline constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr int32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr int32_t ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr int32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr int32_t ERROR_NOT_SAME_DEVICE = 17;
inline constexpr int32_t ERROR_GEN_FAILURE = 31;
inline constexpr int32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr int32_t ERROR_FILE_EXISTS = 80;
inline constexpr int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr int32_t ERROR_DISK_FULL = 112;
inline constexpr int32_t ERROR_CALL_NOT_IMPLEMENTED = 120;
inline constexpr int32_t ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr int32_t ERROR_FILE_TOO_LARGE = 223;
inline constexpr int32_t ERROR_MORE_DATA = 234;
inline constexpr int32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr int32_t ERROR_CANCELLED = 1223;

}  // namespace brevak

#endif  // BREVAK_PLATFORM_WIN32_ERROR_H_
