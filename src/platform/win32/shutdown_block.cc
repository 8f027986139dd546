#include "platform/win32/shutdown_block.h"

#include <windows.h>

#include "platform/win32/system_library.h"

namespace brevak::win32 {
namespace {

using CreateReasonFunction = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyReasonFunction = BOOL(WINAPI*)(HWND);

// user32 is imported, so it is loaded, and from System32.
FARPROC User32Function(const char* name) {
  return GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace

ShutdownBlock::ShutdownBlock(uintptr_t window) {
  const auto create = FunctionAs<CreateReasonFunction>(User32Function("ShutdownBlockReasonCreate"));
  if (window != 0 && create != nullptr &&
      create(reinterpret_cast<HWND>(window), reinterpret_cast<const wchar_t*>(kShutdownBlockReason))) {
    window_ = window;
  }
}

ShutdownBlock::~ShutdownBlock() {
  if (window_ == 0) return;
  // The handler may have destroyed the window, and its reason with it.
  if (const auto destroy = FunctionAs<DestroyReasonFunction>(User32Function("ShutdownBlockReasonDestroy"))) {
    destroy(reinterpret_cast<HWND>(window_));
  }
}

}  // namespace brevak::win32
