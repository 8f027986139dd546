#ifndef BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_
#define BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_

#include <cstdint>

namespace brevak::win32 {

// What Windows shows (Vista and later) beside the window when a shutdown or
// log-off waits for it: the window refuses WM_QUERYENDSESSION while a
// handler runs, since an update cut off halfway leaves the data between two
// versions.
inline constexpr char16_t kShutdownBlockReason[] = u"正在升级Brevak数据，请等待升级完成";

// The shutdown-block reason of a window for as long as the object lives.
// ShutdownBlockReasonCreate and -Destroy are looked up at run time: XP has
// neither, and there the refusal alone holds the shutdown off.
class ShutdownBlock {
 public:
  explicit ShutdownBlock(uintptr_t window);
  ~ShutdownBlock();
  ShutdownBlock(const ShutdownBlock&) = delete;
  ShutdownBlock& operator=(const ShutdownBlock&) = delete;

 private:
  uintptr_t window_ = 0;  // 0 when no reason was registered
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_
