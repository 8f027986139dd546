#include "platform/win32/system_library.h"

#include <string>

#include "platform/runtime_error.h"
#include "platform/win32/wide.h"

namespace brevak::win32 {
namespace {

// Not declared for XP-era targets; the values are Windows' own.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
constexpr int32_t kErrorLoadingDll = 48;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFunction = BOOL(WINAPI*)(LPCWSTR);

// kernel32 is always loaded, and always from System32.
FARPROC Kernel32Function(const char* name) {
  return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
}

std::wstring System32Path(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

void RestrictDllSearch() {
  if (const auto set_default = FunctionAs<SetDefaultDllDirectoriesFunction>(
          Kernel32Function("SetDefaultDllDirectories"));
      set_default != nullptr && set_default(kLoadLibrarySearchSystem32)) {
    return;
  }
  if (const auto set_directory =
          FunctionAs<SetDllDirectoryWFunction>(Kernel32Function("SetDllDirectoryW"))) {
    set_directory(L"");
  }
}

FARPROC FindSystemFunction(const wchar_t* library, const char* function) {
  const std::wstring path = System32Path(library);
  if (path.empty()) return nullptr;
  // A second load of the same path only counts up: the module stays loaded
  // for the program's life, as an import would.
  const HMODULE module = LoadLibraryW(path.c_str());
  return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

FARPROC RequireSystemFunction(const wchar_t* library, const char* function) {
  if (const FARPROC found = FindSystemFunction(library, function)) return found;
  const std::string name(function);
  throw RunTimeError(kErrorLoadingDll, u"加载 DLL 错误：" + FromWide(library) + u" (" +
                                           std::u16string(name.begin(), name.end()) + u")");
}

}  // namespace brevak::win32
