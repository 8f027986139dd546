#ifndef BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_
#define BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_

#include <cstdint>
#include <string>

namespace brevak::win32 {

// What Windows shows (Vista and later) beside the window when a shutdown or
// log-off waits for it: the window refuses WM_QUERYENDSESSION while a
// handler runs, since an update or a restore cut off halfway leaves the data
// between two states. The text is what the handler said it is doing (until
// it says so, kShutdownBlockCause), then kShutdownBlockWait.
inline constexpr char16_t kShutdownBlockCause[] = u"Brevak升级程序正在工作";
inline constexpr char16_t kShutdownBlockWait[] = u"，请等待完成后再关机";

std::u16string ShutdownBlockReason(const std::u16string& cause);

// The shutdown-block reason of a window for as long as the object lives.
// ShutdownBlockReasonCreate and -Destroy are looked up at run time: XP has
// neither, and there the refusal alone holds the shutdown off.
class ShutdownBlock {
 public:
  explicit ShutdownBlock(uintptr_t window);
  ~ShutdownBlock();
  ShutdownBlock(const ShutdownBlock&) = delete;
  ShutdownBlock& operator=(const ShutdownBlock&) = delete;

  // Names what the running handler does in the reason shown.
  void SetCause(const std::u16string& cause);

 private:
  uintptr_t window_ = 0;  // 0 when no reason was registered
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_SHUTDOWN_BLOCK_H_
