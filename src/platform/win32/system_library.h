#ifndef BREVAK_PLATFORM_WIN32_SYSTEM_LIBRARY_H_
#define BREVAK_PLATFORM_WIN32_SYSTEM_LIBRARY_H_

// The system's DLLs from System32 only. The tool runs as administrator from
// whatever folder the package was unpacked into (often Downloads), and
// Windows looks for a DLL that is not one of its known DLLs in the program's
// own folder first: a stray version.dll there would run as administrator.
// So the program imports only known DLLs and reaches every other system DLL
// through these functions, by its full System32 path.
#include <windows.h>

namespace brevak::win32 {

// Makes every later LoadLibrary of the process (the program's own and those
// that COM and the shell make for it) search System32 and not the program's
// folder: SetDefaultDllDirectories where Windows has it (8 and later; Vista
// and 7 with KB2533623), else SetDllDirectoryW(L""), which at least takes
// the current folder out of the search (XP SP1 and later). Both are looked
// up at run time, so the program still starts where they are missing.
// Call it first thing in main.
void RestrictDllSearch();

// `function` of the System32 DLL `library` (loaded once by its full path and
// kept); null when the DLL cannot be loaded or lacks the function.
FARPROC FindSystemFunction(const wchar_t* library, const char* function);

// The same, but a missing DLL or function raises run-time error 48 (the
// run-time's "error in loading DLL") naming both.
FARPROC RequireSystemFunction(const wchar_t* library, const char* function);

// A function found by name as its own pointer type. The cast goes through
// void (*)(), the one type from which any function pointer may be cast
// without a warning.
template <typename Function>
Function FunctionAs(FARPROC found) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// RequireSystemFunction as the function's own pointer type, e.g.
// SystemFunction<decltype(&::VerQueryValueA)>(L"version.dll", "VerQueryValueA").
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* function) {
  return FunctionAs<Function>(RequireSystemFunction(library, function));
}

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_SYSTEM_LIBRARY_H_
