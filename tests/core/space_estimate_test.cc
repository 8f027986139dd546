// The space estimate from the sizes alone: what the backup and the copy
// take, what a migration refills, and the margin.
#include "core/space_estimate.h"

#include <gtest/gtest.h>

namespace brevak {
namespace {

constexpr int64_t kMiB = 1024 * 1024;

// The margin the estimate adds to a peak.
int64_t WithMargin(int64_t peak) { return peak + peak / 20 + kMiB; }

TEST(SpaceEstimateTest, CountsTheBackupTheGrowthAndTheLargestFileWrittenBeside) {
  // 47 MiB backed up: Brevak.ini once though two patterns take it, and
  // Images.dat is no data file.
  const std::vector<FileSize> installed = {{u"Customerdata.car", 30 * kMiB}, {u"ADDR.MDB", 10 * kMiB},
                                           {u"Brevak.exe", 5 * kMiB},        {u"Brevak.ini", 2 * kMiB},
                                           {u"Images.dat", 100 * kMiB}};
  const std::vector<std::u16string> backup = {u"*.car", u"*.mdb", u"Brevak.*", u"*.ini"};
  const std::vector<std::u16string> package = {u"*.car", u"*.mdb", u"adb*.*", u"Brevak.*", u"*.ini"};
  const struct {
    const char* name;
    std::vector<FileSize> incoming;
    bool migrates;
    int64_t peak;
  } cases[] = {
      // 1 MiB more program, the fresh database whole, Brevak.exe (5) beside.
      {"update", {{u"BREVAK.EXE", 6 * kMiB}, {u"Customerdata.car", 2 * kMiB}, {u"readme.txt", 50 * kMiB}}, true,
       (47 + 1 + 2 + 5) * kMiB},
      // A restore replaces the larger database: no growth, 5 MiB beside.
      {"restore", {{u"BREVAK.EXE", 6 * kMiB}, {u"Customerdata.car", 2 * kMiB}}, false, (47 + 1 + 5) * kMiB},
      // A file new to the folder grows it whole and is written beside nothing.
      {"new file", {{u"adbctl32.dll", 3 * kMiB}}, true, (47 + 3) * kMiB},
      // The largest old file written beside is the smaller of the two sizes.
      {"smaller program", {{u"Brevak.exe", 1 * kMiB}}, true, (47 + 1) * kMiB},
  };
  for (const auto& c : cases) {
    const SpaceInputs inputs{installed, backup, c.incoming, package, c.migrates, 0};
    EXPECT_EQ(EstimateSpace(inputs).needed, WithMargin(c.peak)) << c.name;
  }
}

TEST(SpaceEstimateTest, FitsWhenTheDriveHoldsTheNeedToTheByte) {
  const SpaceInputs inputs{{{u"Addr.mdb", 20 * kMiB}}, {u"*.mdb"}, {}, {}, false, 0};
  const int64_t needed = WithMargin(20 * kMiB);
  for (const auto& [available, fits] : {std::pair{needed, true}, {needed - 1, false}, {int64_t{0}, false}}) {
    SpaceInputs on_drive = inputs;
    on_drive.available = available;
    const SpaceEstimate estimate = EstimateSpace(on_drive);
    EXPECT_EQ(estimate.needed, needed);
    EXPECT_EQ(estimate.available, available);
    EXPECT_EQ(estimate.fits(), fits) << available;
  }
}

}  // namespace
}  // namespace brevak
