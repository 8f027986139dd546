#include "platform/posix/posix_services.h"

#include <cstdlib>
#include <string_view>

namespace brevak::posix {
namespace {

// A test knob, never set in a shop: the fault campaign starts the tool with
// it to copy as Windows' shell does, file after file under the real names.
constexpr char kCopyInPlaceKnob[] = "BREVAK_TEST_COPY_IN_PLACE";

CopyPlacement PlacementFromEnvironment() {
  const char* knob = std::getenv(kCopyInPlaceKnob);
  return knob != nullptr && std::string_view(knob) == "1" ? CopyPlacement::kInPlace
                                                          : CopyPlacement::kThroughTemporary;
}

PosixFolders MakeFolders(const WinePrefix& prefix, const PosixServiceOptions& options) {
  return options.executable ? PosixFolders(prefix, *options.executable) : PosixFolders(prefix);
}

}  // namespace

PosixServices::PosixServices(const WinePrefix& prefix, WindowSystem& window, const PosixServiceOptions& options)
    : prefix_(prefix),
      registry_(prefix_, code_page_, *options.diagnostics),
      version_info_(prefix_, code_page_),
      shell_copy_(prefix_, code_page_, window, options.copier != nullptr ? options.copier : &streaming_copier_,
                  std::chrono::seconds(1), PlacementFromEnvironment()),
      database_(prefix_),
      folders_(MakeFolders(prefix_, options)),
      instance_lock_(prefix_),
      data_file_use_(prefix_),
      durable_files_(prefix_),
      log_files_(prefix_),
      file_digests_(prefix_, &copied_digests_) {
  platform_.registry = &registry_;
  platform_.version_info = &version_info_;
  platform_.shell_copy = &shell_copy_;
  platform_.database = &database_;
  platform_.folders = &folders_;
  platform_.window = &window;
  platform_.clock = &clock_;
  platform_.code_page = &code_page_;
  platform_.instance_lock = &instance_lock_;
  platform_.data_file_use = &data_file_use_;
  platform_.durable_files = &durable_files_;
  platform_.log_files = &log_files_;
  platform_.file_digests = &file_digests_;
}

}  // namespace brevak::posix
