#ifndef BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_
#define BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_

// In-memory stand-ins of the platform services for tests of the core. Each
// keeps a log of what was asked of it, and each can be told to fail.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak::testing {

// A connection that logs every call as a line: "provider P", "open CS",
// "begin", "exec SQL", "commit", "rollback", "close". `fail` decides, for
// each logged line, whether the call raises a run-time error instead.
struct ConnectionLog {
  std::vector<std::u16string> lines;
  std::function<bool(const std::u16string& line)> fail = [](const std::u16string&) { return false; };
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

class FakeFolders : public Folders {
 public:
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::u16string AppPath() override;

  std::u16string app_path = u"C:\\pkg";
  bool fail_app_path = false;
  std::map<std::u16string, std::vector<std::u16string>> subfolders;  // by path as given
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

  std::deque<LocalTime> readings{LocalTime{2012, 12, 25, 5, 14, 22}};
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_FAKE_PLATFORM_H_
