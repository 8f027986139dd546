#ifndef BREVAK_TESTS_SUPPORT_SERVICES_BENCH_H_
#define BREVAK_TESTS_SUPPORT_SERVICES_BENCH_H_

#include "platform/posix/registry/posix_registry.h"
#include "support/core_harness.h"
#include "support/fake_window.h"

namespace brevak::testing {

// The core harness's in-memory services with a window that keeps every
// message box, for the tests of one part of the update window on its own.
struct ServicesBench {
  // The texts of the message boxes shown, in order.
  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> texts;
    for (const FakeWindow::MessageBox& box : window.message_boxes()) texts.push_back(box.prompt);
    return texts;
  }

  CoreHarness harness;
  posix::WinePrefix wine{harness.prefix.root()};
  posix::PosixRegistry registry{wine, harness.code_page};
  FakeWindow window;
  Platform platform = harness.MakePlatform(registry, window);
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_SERVICES_BENCH_H_
