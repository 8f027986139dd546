#include "support/fake_platform.h"

#include <algorithm>
#include <cstdio>

#include "core/vb_text.h"

namespace brevak::testing {
namespace {

// A path as Windows compares it: case folded, `/` and `\` both separators,
// a run of separators one.
std::u16string ComparablePath(const std::u16string& path) {
  std::u16string folded;
  for (char16_t c : vb::LCase(path)) {
    if (c == u'/') c = u'\\';
    if (c == u'\\' && !folded.empty() && folded.back() == u'\\') continue;
    folded.push_back(c);
  }
  return folded;
}

RunTimeError InjectedFailure() { return RunTimeError(-2147467259, u"injected failure"); }

class FakeConnection : public Connection {
 public:
  explicit FakeConnection(ConnectionLog& log) : log_(log) {}

  void SetProvider(const std::u16string& provider) override { Call(u"provider " + provider); }
  void Open(const std::u16string& connection_string) override {
    Call(u"open " + connection_string);
    open_ = true;
  }
  void Execute(const std::u16string& statement) override { CallWhenOpen(u"exec " + statement); }
  int32_t ExecuteCount(const std::u16string& statement) override {
    CallWhenOpen(u"count " + statement);
    return log_.count(statement);
  }
  void Close() override {
    CallWhenOpen(u"close");
    open_ = false;
  }
  int32_t State() override { return open_ ? adStateOpen : adStateClosed; }
  void BeginTrans() override { CallWhenOpen(u"begin"); }
  void CommitTrans() override { CallWhenOpen(u"commit"); }
  void RollbackTrans() override { CallWhenOpen(u"rollback"); }

 private:
  void Call(const std::u16string& line) {
    log_.lines.push_back(line);
    if (log_.fail(line)) throw RunTimeError(log_.fail_number, u"injected failure");
  }
  void CallWhenOpen(const std::u16string& line) {
    if (!open_) {
      log_.lines.push_back(line + u" (closed)");
      throw RunTimeError(3704, u"Operation is not allowed when the object is closed.");
    }
    Call(line);
  }

  ConnectionLog& log_;
  bool open_ = false;
};

class FakeFolder : public Folder {
 public:
  FakeFolder(FakeFolders& folders, std::u16string path, std::u16string name)
      : folders_(folders), path_(std::move(path)), name_(std::move(name)) {}
  std::u16string Name() override {
    if (name_ == folders_.unreadable_name) throw InjectedFailure();
    return name_;
  }
  std::unique_ptr<FolderEnumeration> SubFolders() override;
  std::unique_ptr<FileEnumeration> Files() override;

 private:
  FakeFolders& folders_;
  std::u16string path_;
  std::u16string name_;
};

class FakeFileObject : public File {
 public:
  explicit FakeFileObject(FakeFile file) : file_(std::move(file)) {}
  std::u16string Name() override { return file_.name; }
  int64_t Size() override { return file_.size; }
  double DateLastModified() override { return file_.modified; }

 private:
  FakeFile file_;
};

class FakeFileEnumeration : public FileEnumeration {
 public:
  explicit FakeFileEnumeration(std::vector<FakeFile> files) : files_(std::move(files)) {}
  std::unique_ptr<File> Next() override {
    if (next_ == files_.size()) return nullptr;
    return std::make_unique<FakeFileObject>(files_[next_++]);
  }

 private:
  std::vector<FakeFile> files_;
  size_t next_ = 0;
};

class FakeEnumeration : public FolderEnumeration {
 public:
  FakeEnumeration(FakeFolders& folders, std::vector<std::u16string> names)
      : folders_(folders), names_(std::move(names)) {}
  std::unique_ptr<Folder> Next() override {
    if (folders_.fail_step_after == static_cast<int>(next_)) throw InjectedFailure();
    if (next_ == names_.size()) return nullptr;
    const std::u16string& name = names_[next_++];
    return std::make_unique<FakeFolder>(folders_, name, name);
  }

 private:
  FakeFolders& folders_;
  std::vector<std::u16string> names_;
  size_t next_ = 0;
};

std::unique_ptr<FileEnumeration> FakeFolder::Files() {
  if (folders_.fail_enumeration) throw InjectedFailure();
  return std::make_unique<FakeFileEnumeration>(folders_.files[path_]);
}

std::unique_ptr<FolderEnumeration> FakeFolder::SubFolders() {
  if (folders_.fail_enumeration) throw InjectedFailure();
  return std::make_unique<FakeEnumeration>(folders_, folders_.subfolders[path_]);
}

class FakeFileSystemObject : public FileSystemObject {
 public:
  explicit FakeFileSystemObject(FakeFolders& folders) : folders_(folders) {}
  std::unique_ptr<Folder> GetFolder(const std::u16string& path) override {
    folders_.opened.push_back(path);
    if (!FolderExists(path)) throw vb_error::Raise(vb_error::kPathNotFound);
    return std::make_unique<FakeFolder>(folders_, path, path);
  }
  // A folder exists when it was made so or when GetFolder would open it.
  bool FolderExists(const std::u16string& path) override {
    return folders_.existing_folders.count(path) != 0 || folders_.subfolders.count(path) != 0 ||
           folders_.files.count(path) != 0;
  }
  std::unique_ptr<File> GetFile(const std::u16string& path) override {
    for (const auto& [folder, files] : folders_.files) {
      for (const FakeFile& file : files) {
        if (folder + u"\\" + file.name == path) return std::make_unique<FakeFileObject>(file);
      }
    }
    throw vb_error::Raise(vb_error::kFileNotFound);
  }
  // As Windows finds files: in any case.
  bool FileExists(const std::u16string& path) override {
    for (const auto& [folder, files] : folders_.files) {
      for (const FakeFile& file : files) {
        if (ComparablePath(folder + u"\\" + file.name) == ComparablePath(path)) return true;
      }
    }
    return false;
  }
  // The folder goes with its files and from its parent's listing.
  void DeleteFolder(const std::u16string& path) override {
    folders_.deleted.push_back(path);
    if (folders_.undeletable.count(path) != 0) throw InjectedFailure();
    const bool existed = (folders_.existing_folders.erase(path) | folders_.files.erase(path) |
                          folders_.subfolders.erase(path)) != 0;
    if (!existed) throw vb_error::Raise(vb_error::kPathNotFound);
    const size_t cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos) return;
    const auto parent = folders_.subfolders.find(path.substr(0, cut + 1));
    if (parent != folders_.subfolders.end()) std::erase(parent->second, path.substr(cut + 1));
  }
  void CreateFolder(const std::u16string& path) override {
    if (folders_.fail_create_folder) throw InjectedFailure();
    if (FolderExists(path) || FileExists(path)) throw vb_error::Raise(vb_error::kFileAlreadyExists);
    folders_.existing_folders.insert(path);
    folders_.created.push_back(path);
  }
  int64_t AvailableSpace(const std::u16string&) override {
    if (folders_.fail_space) throw InjectedFailure();
    return folders_.available_space;
  }

 private:
  FakeFolders& folders_;
};

}  // namespace

std::optional<std::string> FakeFileDigests::Sha256(const std::u16string& path,
                                                   const std::function<void()>& between_chunks) {
  if (failing.count(path) != 0) throw InjectedFailure();
  for (const auto& [folder, files] : folders_.files) {
    for (const FakeFile& file : files) {
      if (folder + u"\\" + file.name != path) continue;
      if (between_chunks) between_chunks();
      char hex[17];
      std::snprintf(hex, sizeof hex, "%016zx", std::hash<std::string>{}(std::to_string(file.size) + ":" + file.content));
      return std::string(hex) + hex + hex + hex;
    }
  }
  return std::nullopt;
}

std::unique_ptr<Connection> FakeDatabase::CreateConnection(const std::u16string& prog_id) {
  log.lines.push_back(u"create " + prog_id);
  if (fail_create) throw vb_error::Raise(vb_error::kCannotCreateObject);
  return std::make_unique<FakeConnection>(log);
}

int32_t FakeShellCopy::SHFileOperationA(ShFileOpStruct* op) {
  requests.push_back(*op);
  if (on_call) on_call();
  CopyOutcome outcome;
  if (!outcomes.empty()) {
    outcome = outcomes.front();
    outcomes.pop_front();
  }
  if (outcome.cannot_be_made) throw RunTimeError(453, u"找不到 DLL 入口点 SHFileOperationA");
  op->fAnyOperationsAborted = outcome.aborted;
  last_error_ = outcome.last_error;
  return outcome.result;
}

std::unique_ptr<FileSystemObject> FakeFolders::CreateFileSystemObject() {
  if (fail_create) throw vb_error::Raise(vb_error::kCannotCreateObject);
  return std::make_unique<FakeFileSystemObject>(*this);
}

void FakeVersionFiles::AddFile(const std::string& path, const std::string& file_version) {
  files[path]["\\VarFileInfo\\Translation"] = std::string("\x04\x08\xB0\x04", 4);
  files[path]["\\StringFileInfo\\080404B0\\FileVersion"] = file_version + '\0';
}

// The block holds the file's path, so that queries find the file again.
uint32_t FakeVersionFiles::GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  *handle = 0;
  if (std::find(failing.begin(), failing.end(), path) != failing.end()) throw InjectedFailure();
  return files.count(path) == 0 ? 0 : static_cast<uint32_t>(path.size() + 1);
}

int32_t FakeVersionFiles::GetFileVersionInfoA(const std::string& path, uint32_t, uint32_t length,
                                              void* data) {
  if (files.count(path) == 0 || length < path.size() + 1) return 0;
  std::copy(path.begin(), path.end(), static_cast<char*>(data));
  static_cast<char*>(data)[path.size()] = '\0';
  return 1;
}

int32_t FakeVersionFiles::VerQueryValueA(const void* block, const std::string& sub_block,
                                         const void** buffer, uint32_t* length) {
  const auto file = files.find(static_cast<const char*>(block));
  if (file == files.end()) return 0;
  const auto value = file->second.find(sub_block);
  if (value == file->second.end()) return 0;
  *buffer = value->second.data();
  *length = static_cast<uint32_t>(value->second.size());
  return 1;
}

uint32_t FakeVersionFiles::VerLanguageNameA(uint32_t, char* name, uint32_t size) {
  const std::string text = "Chinese";
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::copy(text.begin(), text.begin() + static_cast<long>(n), name);
  name[n] = '\0';
  return static_cast<uint32_t>(n);
}

LocalTime FakeClock::Now() {
  const LocalTime now = readings.front();
  if (readings.size() > 1) readings.pop_front();
  return now;
}

std::u16string FakeFolders::AppPath() {
  if (fail_app_path) throw InjectedFailure();
  return app_path;
}

bool FakeDataFileUse::InUse(const std::u16string& path, const std::u16string& password) {
  checked.push_back(path + u"|" + password);
  if (fail) throw vb_error::Raise(vb_error::kInternalError);
  return in_use.count(path) > 0;
}

std::optional<std::u16string> FakeDurableFiles::ReadText(const std::u16string& path) {
  if (fail_read) throw RunTimeError(75, u"路径/文件访问错误");
  const auto it = texts.find(path);
  if (it == texts.end()) return std::nullopt;
  return it->second;
}

void FakeDurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  log.push_back(u"write " + path);
  if (on_change) on_change();
  if (fail_write) throw RunTimeError(61, u"磁盘已满");
  texts[path] = text;
}

void FakeDurableFiles::Remove(const std::u16string& path) {
  log.push_back(u"remove " + path);
  if (on_change) on_change();
  if (fail_remove) throw RunTimeError(70, u"拒绝的权限");
  texts.erase(path);
}

void FakeDurableFiles::Rename(const std::u16string& from, const std::u16string& to) {
  log.push_back(u"rename " + from + u" " + to);
  if (on_change) on_change();
  if (fail_write) throw RunTimeError(61, u"磁盘已满");
  const auto it = texts.find(from);
  if (it == texts.end()) throw RunTimeError(53, u"文件未找到");
  texts[to] = it->second;
  texts.erase(from);
}

void FakeLogFiles::AppendEntry(const std::u16string& path, const std::string& entry) {
  if (fail) throw RunTimeError(61, u"磁盘已满");
  files[path] += entry;
}

void FakeLogFiles::RenameUnlessTaken(const std::u16string& from, const std::u16string& to) {
  if (fail || fail_rename) throw RunTimeError(70, u"拒绝的权限");
  if (files.count(to) != 0 || files.count(from) == 0) return;
  files[to] = std::move(files[from]);
  files.erase(from);
}

}  // namespace brevak::testing
