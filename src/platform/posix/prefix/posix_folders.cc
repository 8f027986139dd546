#include "platform/posix/prefix/posix_folders.h"

#include <errno.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/posix/prefix/ntfs_name_order.h"
#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// The run-time error for a host error met while listing a folder.
RunTimeError ListingError(const std::error_code& ec) {
  switch (ec.value()) {
    case ENOENT:
    case ENOTDIR:
      return vb_error::Raise(vb_error::kPathNotFound);
    case EACCES:
    case EPERM:
      return vb_error::Raise(vb_error::kPermissionDenied);
    default:
      return vb_error::Raise(vb_error::kDeviceIoError);
  }
}

// The running program's file, as the kernel names it.
fs::path RunningExecutable() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) / "brevak-upgrade" : exe;
}

// The listings' step when no test stands in for it; it outlives every folder.
DirectoryStep& PlainStep() {
  static DirectoryStep step;
  return step;
}

class PosixFolder : public Folder {
 public:
  PosixFolder(fs::path path, std::u16string name, DirectoryStep& step)
      : path_(std::move(path)), name_(std::move(name)), step_(step) {}
  std::u16string Name() override { return name_; }
  std::unique_ptr<FolderEnumeration> SubFolders() override;
  std::unique_ptr<FileEnumeration> Files() override;

 private:
  fs::path path_;
  std::u16string name_;
  DirectoryStep& step_;
};

// A host directory listing, stepped past an entry only at the next call,
// so a failed step never loses the entry read before it; the listing ends
// at the failure.
class DirectoryListing {
 public:
  DirectoryListing(const fs::path& folder, DirectoryStep& step) : step_(step) {
    std::error_code ec;
    it_ = fs::directory_iterator(folder, ec);
    if (ec) throw ListingError(ec);
  }

  // The next entry, or null at the end.
  const fs::directory_entry* Next() {
    if (step_pending_) StepPastEntry();
    if (it_ == fs::directory_iterator()) return nullptr;
    step_pending_ = true;
    return &*it_;
  }

 private:
  void StepPastEntry() {
    step_pending_ = false;
    std::error_code ec;
    step_.Increment(it_, ec);
    if (!ec) return;
    it_ = fs::directory_iterator();
    throw ListingError(ec);
  }

  DirectoryStep& step_;
  fs::directory_iterator it_;
  bool step_pending_ = false;
};

// Yields a listing's folders in the order NTFS indexes them, which is the
// order a Windows folder lists them in. The whole listing is read first; a
// failure met while reading it is raised after the folders read before it
// have been yielded.
class PosixFolderEnumeration : public FolderEnumeration {
 public:
  PosixFolderEnumeration(const fs::path& folder, DirectoryStep& step) : step_(step) {
    DirectoryListing listing(folder, step);
    try {
      while (const fs::directory_entry* entry = listing.Next()) {
        std::error_code type_ec;
        if (entry->is_directory(type_ec)) {
          folders_.push_back({entry->path(), Utf8ToUtf16(entry->path().filename().string())});
        }
      }
    } catch (const RunTimeError& failure) {
      failure_ = failure;
    }
    std::sort(folders_.begin(), folders_.end(),
              [](const Listed& a, const Listed& b) { return NtfsNameBefore(a.name, b.name); });
  }

  std::unique_ptr<Folder> Next() override {
    if (next_ < folders_.size()) {
      const Listed& listed = folders_[next_++];
      return std::make_unique<PosixFolder>(listed.path, listed.name, step_);
    }
    if (failure_) throw *std::exchange(failure_, std::nullopt);
    return nullptr;
  }

 private:
  struct Listed {
    fs::path path;
    std::u16string name;
  };

  DirectoryStep& step_;
  std::vector<Listed> folders_;
  size_t next_ = 0;
  std::optional<RunTimeError> failure_;
};

std::unique_ptr<FolderEnumeration> PosixFolder::SubFolders() {
  return std::make_unique<PosixFolderEnumeration>(path_, step_);
}

// Days from 30 December 1899, the Date of the run-time, to 1 January 1970.
constexpr double kUnixEpochAsDate = 25569.0;

// The seconds local time is ahead of UTC at `seconds` since 1970. Windows
// gives a file's DateLastModified in the machine's local time, as it is now
// set, so a changed time zone moves every file's date.
long LocalOffsetSeconds(std::chrono::seconds seconds) {
  const time_t at = static_cast<time_t>(seconds.count());
  tm local{};
  return localtime_r(&at, &local) != nullptr ? local.tm_gmtoff : 0;
}

class PosixFile : public File {
 public:
  PosixFile(std::u16string name, int64_t size, double modified)
      : name_(std::move(name)), size_(size), modified_(modified) {}
  std::u16string Name() override { return name_; }
  int64_t Size() override { return size_; }
  double DateLastModified() override { return modified_; }

 private:
  std::u16string name_;
  int64_t size_;
  double modified_;
};

// The file's size and time as read now; nothing when it is no regular file.
std::unique_ptr<File> ReadFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return nullptr;
  const uintmax_t size = fs::file_size(path, ec);
  if (ec) return nullptr;
  const fs::file_time_type written = fs::last_write_time(path, ec);
  if (ec) return nullptr;
  const auto since_epoch = std::chrono::file_clock::to_sys(written).time_since_epoch();
  const auto local = since_epoch + std::chrono::seconds(LocalOffsetSeconds(
                                       std::chrono::floor<std::chrono::seconds>(since_epoch)));
  const double days = std::chrono::duration<double, std::ratio<86400>>(local).count();
  return std::make_unique<PosixFile>(Utf8ToUtf16(path.filename().string()), static_cast<int64_t>(size),
                                     kUnixEpochAsDate + days);
}

// Yields a listing's regular files (symbolic links to files too) with the
// sizes they have when read.
class PosixFileEnumeration : public FileEnumeration {
 public:
  PosixFileEnumeration(const fs::path& folder, DirectoryStep& step) : listing_(folder, step) {}

  std::unique_ptr<File> Next() override {
    while (const fs::directory_entry* entry = listing_.Next()) {
      if (std::unique_ptr<File> file = ReadFile(entry->path())) return file;
    }
    return nullptr;
  }

 private:
  DirectoryListing listing_;
};

std::unique_ptr<FileEnumeration> PosixFolder::Files() {
  return std::make_unique<PosixFileEnumeration>(path_, step_);
}

// The nearest folder at or above `host` that exists: where the drive's
// free space is read for a path not yet made.
fs::path NearestExisting(fs::path host) {
  std::error_code ec;
  while (!fs::exists(host, ec) && host.has_relative_path()) host = host.parent_path();
  return host;
}

// The folder's own name: the last component of the Windows path as found
// on the host; empty for a drive's root.
std::u16string FolderName(const std::u16string& windows_path, const fs::path& host) {
  const size_t last = windows_path.find_last_not_of(u"\\/");
  const bool drive_root = last == std::u16string::npos || (last == 1 && windows_path[1] == u':');
  return drive_root ? std::u16string() : Utf8ToUtf16(host.filename().string());
}

class PosixFileSystemObject : public FileSystemObject {
 public:
  PosixFileSystemObject(const WinePrefix& prefix, DirectoryStep& step) : prefix_(prefix), step_(step) {}

  std::unique_ptr<Folder> GetFolder(const std::u16string& path) override {
    if (path.empty()) throw vb_error::Raise(vb_error::kPathNotFound);
    const fs::path host = prefix_.ToHost(path);
    std::error_code ec;
    if (!fs::is_directory(host, ec)) throw vb_error::Raise(vb_error::kPathNotFound);
    return std::make_unique<PosixFolder>(host, FolderName(path, host), step_);
  }

  std::unique_ptr<File> GetFile(const std::u16string& path) override {
    std::unique_ptr<File> file = path.empty() ? nullptr : ReadFile(prefix_.ToHost(path));
    if (!file) throw vb_error::Raise(vb_error::kFileNotFound);
    return file;
  }

  bool FolderExists(const std::u16string& path) override {
    std::error_code ec;
    return !path.empty() && fs::is_directory(prefix_.ToHost(path), ec);
  }

  bool FileExists(const std::u16string& path) override {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(prefix_.ToHost(path), ec);
  }

  void DeleteFolder(const std::u16string& path) override {
    if (!FolderExists(path)) throw vb_error::Raise(vb_error::kPathNotFound);
    std::error_code ec;
    fs::remove_all(prefix_.ToHost(path), ec);
    if (ec) throw ListingError(ec);
  }

  // create_directory makes the folder or finds something there: only a
  // folder it made itself counts.
  void CreateFolder(const std::u16string& path) override {
    if (path.empty()) throw vb_error::Raise(vb_error::kPathNotFound);
    const fs::path host = prefix_.ToHost(path);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(host, ec))) throw vb_error::Raise(vb_error::kFileAlreadyExists);
    const bool made = fs::create_directory(host, ec);
    if (ec == std::errc::file_exists) throw vb_error::Raise(vb_error::kFileAlreadyExists);
    if (ec) throw ListingError(ec);
    if (!made) throw vb_error::Raise(vb_error::kFileAlreadyExists);
  }

  // The drive is the file system that holds the path (a drive's folder may
  // be a mount point of its own).
  int64_t AvailableSpace(const std::u16string& path) override {
    if (path.empty()) throw vb_error::Raise(vb_error::kPathNotFound);
    std::error_code ec;
    const fs::space_info space = fs::space(NearestExisting(prefix_.ToHost(path)), ec);
    if (ec) throw ListingError(ec);
    return static_cast<int64_t>(space.available);
  }

 private:
  WinePrefix prefix_;
  DirectoryStep& step_;
};

}  // namespace

PosixFolders::PosixFolders(const WinePrefix& prefix) : PosixFolders(prefix, RunningExecutable()) {}

PosixFolders::PosixFolders(const WinePrefix& prefix, fs::path executable, DirectoryStep* step)
    : prefix_(prefix), executable_(std::move(executable)), step_(step != nullptr ? *step : PlainStep()) {}

std::unique_ptr<FileSystemObject> PosixFolders::CreateFileSystemObject() {
  return std::make_unique<PosixFileSystemObject>(prefix_, step_);
}

std::u16string PosixFolders::AppPath() { return prefix_.ToWindows(executable_.parent_path()); }

}  // namespace brevak::posix
