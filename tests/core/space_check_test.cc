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
  // (2 MiB) and Brevak.exe written beside its old copy (5 MiB): 55 MiB,
  // 58.75 MiB with the margin. Images.dat and readme.txt are no copy's.
  const int64_t kNeeded = 58 * kMiB + 3 * kMiB / 4;
  const std::pair<std::function<void(testing::FakeFolders&)>, std::u16string> cases[] = {
      {[&](testing::FakeFolders& f) { f.available_space = kNeeded; }, u""},
      {[&](testing::FakeFolders& f) { f.available_space = kNeeded - 1; }, prompt::SpaceNeeded(kNeeded, kNeeded - 1)},
      {[](testing::FakeFolders& f) { f.fail_space = true; }, u""},   // the drive cannot be read
      {[](testing::FakeFolders& f) { f.files.erase(u"C:\\pkg"); }, u""},  // nor the package folder
  };
  for (const auto& [arrange, problem] : cases) {
    ServicesBench bench;
    testing::FakeFolders& folders = bench.harness.folders;
    folders.available_space = 1;
    folders.files[kInstall] = {{u"Customerdata.car", 30 * kMiB}, {u"ADDR.MDB", 10 * kMiB}, {u"Brevak.exe", 5 * kMiB},
                               {u"Brevak.ini", 2 * kMiB}, {u"Images.dat", 100 * kMiB}};
    folders.files[u"C:\\pkg"] = {{u"Brevak.exe", 6 * kMiB}, {u"Customerdata.car", 2 * kMiB}, {u"readme.txt", 50 * kMiB}};
    arrange(folders);
    CopyRequests copies(bench.platform, bench.window);
    EXPECT_EQ(SpaceCheck(bench.platform).SpaceProblemFor(kInstall, u"C:\\pkg", copies.PackageSourceList(), true), problem);
  }
}

}  // namespace
}  // namespace brevak
