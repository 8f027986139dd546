#include "platform/posix/prefix/posix_folders.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"
#include "support/temp_prefix.h"
#include "support/unprivileged.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

std::vector<std::u16string> SubFolderNames(Folder& folder) {
  std::vector<std::u16string> names;
  const auto subfolders = folder.SubFolders();
  while (auto next = subfolders->Next()) names.push_back(next->Name());
  return names;
}

int32_t ErrorOf(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const RunTimeError& error) {
    return error.number();
  }
  return 0;
}

class FoldersTest : public ::testing::Test {
 protected:
  FoldersTest() : wine_(prefix_.root()), folders_(wine_), fso_(folders_.CreateFileSystemObject()) {}

  testing::TempPrefix prefix_;
  WinePrefix wine_;
  PosixFolders folders_;
  std::unique_ptr<FileSystemObject> fso_;
};

// Real folders made in an order of their own are listed as NTFS indexes
// them: by their upper-cased UTF-16 units, so a character above U+FFFF
// (surrogates) comes before U+E000..U+FFFF, unlike UTF-8's byte order.
TEST_F(FoldersTest, ListsImmediateSubfoldersInNtfsOrder) {
  const std::vector<std::u16string> ntfs_order = {
      u".hidden", u"20121225051422", u"20130101090000", u"b", u"link to upper", u"lower", u"Mixed",
      u"mixed", u"UPPER", u"_x", u"α", u"Β", u"升级", u"图片 资料", u"\U0001F600 emoji", u"\uE000 private",
      u"Ａ", u"ｂ"};
  for (auto name = ntfs_order.rbegin(); name != ntfs_order.rend(); ++name) {
    if (*name == u"link to upper") continue;
    fs::create_directories(prefix_.OnDriveC("Program Files/Brevak/" + Utf16ToUtf8(*name) + "/nested"));
  }
  testing::WriteFile(prefix_.OnDriveC("Program Files/Brevak/Brevak.exe"), "a file is no folder");
  fs::create_directory_symlink(prefix_.OnDriveC("Program Files/Brevak/UPPER"),
                               prefix_.OnDriveC("Program Files/Brevak/link to upper"));
  const auto folder = fso_->GetFolder(u"C:\\Program Files\\Brevak\\");
  EXPECT_EQ(folder->Name(), u"Brevak");
  EXPECT_EQ(SubFolderNames(*folder), ntfs_order);
}

TEST_F(FoldersTest, PathFormsNameTheSameFolder) {
  fs::create_directories(prefix_.OnDriveC("Brevak/20121225051422"));
  for (const std::u16string path : {u"C:\\Brevak", u"C:\\Brevak\\", u"c:/brevak//", u"C:\\\\Brevak\\\\"}) {
    const auto folder = fso_->GetFolder(path);
    EXPECT_EQ(SubFolderNames(*folder), std::vector<std::u16string>{u"20121225051422"});
  }
}

TEST_F(FoldersTest, FolderWithoutSubfoldersYieldsNothing) {
  testing::WriteFile(prefix_.OnDriveC("Empty/only a file.txt"), "x");
  EXPECT_TRUE(SubFolderNames(*fso_->GetFolder(u"C:\\Empty\\")).empty());
}

TEST_F(FoldersTest, PathsThatNameNoFolder) {
  testing::WriteFile(prefix_.OnDriveC("Brevak/Brevak.exe"), "x");
  for (const std::u16string path : {u"", u"C:\\Missing\\", u"C:\\Brevak\\Brevak.exe", u"Q:\\Brevak\\"}) {
    EXPECT_EQ(ErrorOf([&] { fso_->GetFolder(path); }), 76) << Utf16ToUtf8(path);
  }
}

TEST_F(FoldersTest, FolderRemovedAfterOpeningCannotBeListed) {
  fs::create_directories(prefix_.OnDriveC("Brevak/sub"));
  const auto folder = fso_->GetFolder(u"C:\\Brevak\\");
  fs::remove_all(prefix_.OnDriveC("Brevak"));
  EXPECT_EQ(ErrorOf([&] { folder->SubFolders(); }), 76);
}

// Fails the step numbered `failing` (from 1) with an I/O error, as a
// failing disk does, without moving.
class FailingStep : public DirectoryStep {
 public:
  explicit FailingStep(int failing) : failing_(failing) {}
  void Increment(fs::directory_iterator& it, std::error_code& ec) override {
    if (++steps_ == failing_) {
      ec = std::make_error_code(std::errc::io_error);
    } else {
      it.increment(ec);
    }
  }

 private:
  int failing_;
  int steps_ = 0;
};

TEST_F(FoldersTest, AFailedStepEndsTheListingAfterTheEntryReadBeforeIt) {
  for (const char* name : {"20121225051422", "20130101090000", "20140202100000"}) {
    fs::create_directories(prefix_.OnDriveC(std::string("Brevak/") + name));
  }
  // The host's order, in which the listing reads them.
  std::vector<std::u16string> all;
  for (const auto& entry : fs::directory_iterator(prefix_.OnDriveC("Brevak"))) {
    all.push_back(Utf8ToUtf16(entry.path().filename().string()));
  }
  ASSERT_EQ(all.size(), 3u);
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(failing);
    FailingStep step(failing);
    PosixFolders folders(wine_, "/usr/bin/brevak-upgrade", &step);
    const auto subfolders = folders.CreateFileSystemObject()->GetFolder(u"C:\\Brevak")->SubFolders();
    std::vector<std::u16string> listed;
    const int32_t error = ErrorOf([&] {
      while (auto next = subfolders->Next()) listed.push_back(next->Name());
    });
    EXPECT_EQ(error, 57);
    std::vector<std::u16string> read(all.begin(), all.begin() + failing);
    std::sort(read.begin(), read.end());  // digits only: NTFS's order is the plain one
    EXPECT_EQ(listed, read);
    EXPECT_EQ(subfolders->Next(), nullptr);
  }
}

// The error number of listing `path` as an unprivileged user, or 254 when
// the error's description is not `description`.
int32_t ListingErrorAsUser(FileSystemObject& fso, const std::u16string& path, const std::u16string& description) {
  return testing::RunUnprivileged([&]() -> int {
    try {
      fso.GetFolder(path)->SubFolders();
    } catch (const RunTimeError& error) {
      return error.description() == description ? error.number() : 254;
    }
    return 0;
  });
}

TEST_F(FoldersTest, FolderTheSystemRefusesToListRaisesPermissionDenied) {
  fs::create_directories(prefix_.OnDriveC("Locked/sub"));
  fs::permissions(prefix_.root(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
  fs::permissions(prefix_.OnDriveC("Locked"), fs::perms::none);
  EXPECT_EQ(ListingErrorAsUser(*fso_, u"C:\\Locked", u"没有权限"), 70);
  fs::permissions(prefix_.OnDriveC("Locked"), fs::perms::owner_all);
}

TEST_F(FoldersTest, ListsFilesWithTheirSizesAndTellsFilesFromFolders) {
  testing::WriteFile(prefix_.OnDriveC("B/Customerdata.car"), std::string(5000, 'x'));
  testing::WriteFile(prefix_.OnDriveC("B/升级.ini"), "");
  fs::create_directories(prefix_.OnDriveC("B/20261209050000"));
  fs::create_symlink("Customerdata.car", prefix_.OnDriveC("B/link.car"));
  std::map<std::u16string, int64_t> files;
  const auto listing = fso_->GetFolder(u"C:\\b")->Files();
  while (auto file = listing->Next()) files[file->Name()] = file->Size();
  EXPECT_EQ(files, (std::map<std::u16string, int64_t>{
                       {u"Customerdata.car", 5000}, {u"link.car", 5000}, {u"升级.ini", 0}}));
  EXPECT_TRUE(fso_->FileExists(u"C:\\B\\customerdata.CAR"));
  EXPECT_FALSE(fso_->FileExists(u"C:\\B\\20261209050000"));
  EXPECT_TRUE(fso_->FolderExists(u"c:/b/20261209050000/"));
  EXPECT_FALSE(fso_->FolderExists(u"C:\\B\\Customerdata.car"));
  EXPECT_FALSE(fso_->FolderExists(u""));
}

// As on Windows, a file's date is local time in the zone set now: a file
// written 2026-12-09 02:00 UTC is dated 10:00 in China, 21:00 the day
// before in New York (winter).
TEST_F(FoldersTest, FileDatesAreLocalTimeInTheZoneSetNow) {
  const fs::path file = prefix_.OnDriveC("B/Customerdata.car");
  testing::WriteFile(file, "x");
  const std::chrono::sys_seconds written = std::chrono::sys_days{std::chrono::year{2026} / 12 / 9} + std::chrono::hours(2);
  fs::last_write_time(file, std::chrono::file_clock::from_sys(written));
  const char* saved = getenv("TZ");
  const std::string before = saved != nullptr ? saved : "";
  struct Case { const char* zone; double date; } cases[] = {
      {"UTC0", 46365 + 2 / 24.0}, {"CST-8", 46365 + 10 / 24.0}, {"EST5EDT,M3.2.0,M11.1.0", 46364 + 21 / 24.0}};
  for (const Case& c : cases) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_NEAR(fso_->GetFile(u"C:\\B\\Customerdata.car")->DateLastModified(), c.date, 1e-6) << c.zone;
  }
  if (saved != nullptr) setenv("TZ", before.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST_F(FoldersTest, DeletesAFolderWithEverythingInIt) {
  testing::WriteFile(prefix_.OnDriveC("B/20261209050000/sub/Addr.mdb"), "x");
  fs::permissions(prefix_.OnDriveC("B/20261209050000/sub/Addr.mdb"), fs::perms::owner_read);
  fso_->DeleteFolder(u"C:\\B\\20261209050000");
  EXPECT_FALSE(fs::exists(prefix_.OnDriveC("B/20261209050000")));
  EXPECT_TRUE(fs::exists(prefix_.OnDriveC("B")));
  EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder(u"C:\\B\\20261209050000"); }), 76);
}

TEST_F(FoldersTest, AvailableSpaceIsThatOfTheFileSystemHoldingThePath) {
  fs::create_directories(prefix_.OnDriveC("B"));
  const auto expected = static_cast<int64_t>(fs::space(prefix_.OnDriveC("B")).available);
  // A folder not yet made is on its parent's file system.
  for (const std::u16string path : {u"C:\\B\\", u"C:\\B\\20261209050000"}) {
    const int64_t available = fso_->AvailableSpace(path);
    EXPECT_GT(available, 0);
    EXPECT_LT(std::abs(available - expected), 64 * 1024 * 1024) << Utf16ToUtf8(path);
  }
  EXPECT_EQ(ErrorOf([&] { fso_->AvailableSpace(u""); }), 76);
}

TEST_F(FoldersTest, ObjectsOutliveTheirCreator) {
  fs::create_directories(prefix_.OnDriveC("Brevak/a"));
  std::unique_ptr<FolderEnumeration> subfolders;
  {
    PosixFolders folders(wine_);
    auto fso = folders.CreateFileSystemObject();
    subfolders = fso->GetFolder(u"C:\\Brevak")->SubFolders();
  }
  const auto first = subfolders->Next();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Name(), u"a");
  EXPECT_EQ(subfolders->Next(), nullptr);
}

TEST(FoldersAppPathTest, MapsTheExecutablesFolderToTheDeepestDrive) {
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Program Files/Brevak/升级包"));
  fs::create_directories(prefix.OnDriveC("Tools"));
  fs::create_directory_symlink(prefix.OnDriveC("Tools"), prefix.root() / "dosdevices" / "d:");
  struct Case { fs::path executable; std::u16string app_path; };
  const Case cases[] = {
      {prefix.OnDriveC("Program Files/Brevak/升级包/brevak-upgrade"), u"C:\\Program Files\\Brevak\\升级包"},
      {prefix.OnDriveC("brevak-upgrade"), u"C:"},
      {prefix.OnDriveC("Tools/brevak-upgrade"), u"D:"},
      {"/usr/bin/brevak-upgrade", u"Z:\\usr\\bin"},
  };
  for (const Case& c : cases) {
    PosixFolders folders(WinePrefix(prefix.root()), c.executable);
    EXPECT_EQ(folders.AppPath(), c.app_path) << c.executable;
  }
}

TEST(FoldersAppPathTest, TheRunningProgramIsTheExecutable) {
  testing::TempPrefix prefix;
  const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
  fs::create_directory_symlink(folder, prefix.root() / "dosdevices" / "e:");
  PosixFolders folders{WinePrefix(prefix.root())};
  EXPECT_EQ(folders.AppPath(), u"E:");
}

}  // namespace
}  // namespace brevak::posix
