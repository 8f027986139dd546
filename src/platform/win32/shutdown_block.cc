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

// Registers `reason` for the window, replacing one it has. False where the
// system keeps none.
bool RegisterReason(uintptr_t window, const std::u16string& reason) {
  const auto create = FunctionAs<CreateReasonFunction>(User32Function("ShutdownBlockReasonCreate"));
  return window != 0 && create != nullptr &&
         create(reinterpret_cast<HWND>(window), reinterpret_cast<const wchar_t*>(reason.c_str()));
}

}  // namespace

std::u16string ShutdownBlockReason(const std::u16string& cause) {
  return (cause.empty() ? std::u16string(kShutdownBlockCause) : cause) + kShutdownBlockWait;
}

ShutdownBlock::ShutdownBlock(uintptr_t window) {
  if (RegisterReason(window, ShutdownBlockReason(u""))) window_ = window;
}

void ShutdownBlock::SetCause(const std::u16string& cause) {
  if (window_ != 0) RegisterReason(window_, ShutdownBlockReason(cause));
}

ShutdownBlock::~ShutdownBlock() {
  if (window_ == 0) return;
  // The handler may have destroyed the window, and its reason with it.
  if (const auto destroy = FunctionAs<DestroyReasonFunction>(User32Function("ShutdownBlockReasonDestroy"))) {
    destroy(reinterpret_cast<HWND>(window_));
  }
}

}  // namespace brevak::win32
