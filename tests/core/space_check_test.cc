// The free-space check on its own: the files the two copies take, measured
// against the drive; what cannot be read is left to the copies.
#include "core/space_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/copy_requests.h"
#include "core/prompts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using testing::ServicesBench;

constexpr int64_t kMiB = 1024 * 1024;
constexpr char16_t kInstall[] = u"C:\\Program Files\\Brevak\\";

TEST(SpaceCheckTest, CountsOnlyTheFilesTheCopiesTakeAndLeavesTheUnreadableToThem) {
  // A 47 MiB backup (Brevak.ini once, though two patterns take it), 1 MiB
  // more program, the fresh customer database kept under the migrated rows
  // (2 MiB) and the largest old file an incoming one is written beside
  // (Brevak.exe, 5 MiB): 55 MiB, 58.75 MiB with the margin. Images.dat and
  // readme.txt are no copy's.
  const int64_t kNeeded = 58 * kMiB + 3 * kMiB / 4;
  struct Case {
    const char* name;
    std::function<void(ServicesBench&)> arrange;
    std::u16string problem;
  };
  const Case cases[] = {
      {"fits", [](ServicesBench& b) { b.harness.folders.available_space = kNeeded; }, u""},
      {"short", [](ServicesBench& b) { b.harness.folders.available_space = kNeeded - 1; },
       prompt::SpaceNeeded(kNeeded, kNeeded - 1)},
      {"drive unreadable", [](ServicesBench& b) { b.harness.folders.fail_space = true; }, u""},
      {"package folder gone", [](ServicesBench& b) { b.harness.folders.files.erase(u"C:\\pkg"); }, u""},
  };
  for (const Case& c : cases) {
    ServicesBench bench;
    bench.harness.folders.available_space = 1;
    bench.harness.folders.files[kInstall] = {{u"Customerdata.car", 30 * kMiB}, {u"ADDR.MDB", 10 * kMiB},
                                             {u"Brevak.exe", 5 * kMiB},        {u"Brevak.ini", 2 * kMiB},
                                             {u"Images.dat", 100 * kMiB}};
    bench.harness.folders.files[u"C:\\pkg"] = {
        {u"Brevak.exe", 6 * kMiB}, {u"Customerdata.car", 2 * kMiB}, {u"readme.txt", 50 * kMiB}};
    c.arrange(bench);
    SpaceCheck space(bench.platform);
    CopyRequests copies(bench.platform, bench.window);
    EXPECT_EQ(space.SpaceProblemFor(kInstall, u"C:\\pkg", copies.PackageSourceList(), /*migrates=*/true), c.problem)
        << c.name;
  }
}

}  // namespace
}  // namespace brevak
