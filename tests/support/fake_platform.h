#ifndef BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_
#define BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_

// In-memory stand-ins of the platform services for tests of the core. Each
// keeps a log of what was asked of it, and each can be told to fail.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak::testing {

// A connection that logs every call as a line: "provider P", "open CS",
// "begin", "exec SQL", "count SQL", "commit", "rollback", "close". `fail`
// decides, for each logged line, whether the call raises a run-time error
// instead; `count` answers each count statement.
struct ConnectionLog {
  std::vector<std::u16string> lines;
  std::function<bool(const std::u16string& line)> fail = [](const std::u16string&) { return false; };
  std::function<int32_t(const std::u16string& statement)> count = [](const std::u16string&) { return 0; };
  int32_t fail_number = -2147467259;  // the error number a failing call raises
};

class FakeDatabase : public Database {
 public:
  std::unique_ptr<Connection> CreateConnection(const std::u16string& prog_id) override;
  ConnectionLog log;
  bool fail_create = false;
};

// One scripted outcome of a copy call.
struct CopyOutcome {
  int32_t result = 0;
  int32_t aborted = 0;
  int32_t last_error = 0;
  bool cannot_be_made = false;  // the call raises a run-time error
};

class FakeShellCopy : public ShellCopy {
 public:
  int32_t SHFileOperationA(ShFileOpStruct* op) override;
  int32_t GetLastError() override { return last_error_; }

  std::vector<ShFileOpStruct> requests;  // as they reached the platform
  std::function<void()> on_call;         // runs inside each call
  std::deque<CopyOutcome> outcomes;      // consumed in order; success when empty

 private:
  int32_t last_error_ = 0;
};

// A file of a fake folder.
struct FakeFile {
  std::u16string name;
  int64_t size = 0;
  double modified = 0;  // DateLastModified
  std::string content = {};  // what the file's digest is taken of, with its size
};

class FakeFolders : public Folders {
 public:
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::u16string AppPath() override;

  std::u16string app_path = u"C:\\pkg";
  bool fail_app_path = false;
  std::map<std::u16string, std::vector<std::u16string>> subfolders;  // by path as given
  // Files by folder path as given; FileExists finds folder + "\" + name.
  std::map<std::u16string, std::vector<FakeFile>> files;
  std::set<std::u16string> existing_folders;  // FolderExists and DeleteFolder
  std::vector<std::u16string> deleted;        // paths passed to DeleteFolder
  std::vector<std::u16string> created;        // folders CreateFolder made
  std::set<std::u16string> undeletable;      // DeleteFolder fails for these
  bool fail_create_folder = false;
  int64_t available_space = int64_t{1} << 40;
  bool fail_space = false;
  std::vector<std::u16string> opened;  // paths passed to GetFolder
  bool fail_create = false;
  bool fail_enumeration = false;
  int fail_step_after = -1;                 // stepping fails after this many names
  std::u16string unreadable_name;           // Name() of this subfolder fails
};

// Version blocks by file path: each file has a translation table and its
// string values under \StringFileInfo\<key>\<name>. Reading a file named
// in `failing` raises a run-time error.
class FakeVersionFiles : public VersionInfo {
 public:
  // A file whose first translation entry is 0804/04B0 with this FileVersion.
  void AddFile(const std::string& path, const std::string& file_version);

  uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) override;
  int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t length,
                              void* data) override;
  int32_t VerQueryValueA(const void* block, const std::string& sub_block, const void** buffer,
                         uint32_t* length) override;
  uint32_t VerLanguageNameA(uint32_t language, char* name, uint32_t size) override;

  std::map<std::string, std::map<std::string, std::string>> files;  // path -> sub-block -> bytes
  std::vector<std::string> failing;
};

class FakeClock : public Clock {
 public:
  // Each reading takes the next time; the last one repeats.
  LocalTime Now() override;
  // Takes no time: the readings move on only as a test lays them out.
  void Sleep(int milliseconds) override { slept_ms += milliseconds; }
  int slept_ms = 0;

  std::deque<LocalTime> readings{LocalTime{2012, 12, 25, 5, 14, 22}};
};

// The lock another copy of the tool may hold.
class FakeInstanceLock : public InstanceLock {
 public:
  bool TryLock() override {
    ++calls;
    return !held_elsewhere;
  }
  bool held_elsewhere = false;
  int calls = 0;
};

// Database files another program holds, by path as given.
class FakeDataFileUse : public DataFileUse {
 public:
  bool InUse(const std::u16string& path, const std::u16string& password) override;
  std::set<std::u16string> in_use;
  std::vector<std::u16string> checked;  // "PATH|PASSWORD" in order
  bool fail = false;                    // the check raises a run-time error
};

// Files by path as given.
class FakeDurableFiles : public DurableFiles {
 public:
  std::optional<std::u16string> ReadText(const std::u16string& path) override;
  void WriteText(const std::u16string& path, const std::u16string& text) override;
  void Remove(const std::u16string& path) override;
  void Rename(const std::u16string& from, const std::u16string& to) override;

  std::map<std::u16string, std::u16string> texts;
  std::vector<std::u16string> log;  // "write PATH", "remove PATH", "rename FROM TO"
  bool fail_read = false;
  bool fail_write = false;
  bool fail_remove = false;
  // Runs inside each write and removal, before it takes effect.
  std::function<void()> on_change;
};

// Digests of a FakeFolders' files, of each file's size and content (never
// its date): 64 hex digits that differ when either does.
class FakeFileDigests : public FileDigests {
 public:
  explicit FakeFileDigests(FakeFolders& folders) : folders_(folders) {}
  std::optional<std::string> Sha256(const std::u16string& path, const std::function<void()>& between_chunks) override;
  std::set<std::u16string> failing;  // reading these raises a run-time error

 private:
  FakeFolders& folders_;
};

// Log files by path as given, their bytes as appended.
class FakeLogFiles : public LogFiles {
 public:
  void AppendEntry(const std::u16string& path, const std::string& entry) override;
  void RenameUnlessTaken(const std::u16string& from, const std::u16string& to) override;

  std::map<std::u16string, std::string> files;
  bool fail = false;         // every append raises a run-time error
  bool fail_rename = false;  // every rename raises a run-time error
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_
