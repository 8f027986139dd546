#include "platform/posix/shell_copy/posix_shell_copy.h"

#include <algorithm>
#include <memory>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_pattern.h"
#include "platform/posix/durable_replace.h"
#include "platform/posix/text/utf.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr char kTempPrefix[] = ".~brevak-";
constexpr char kTempSuffix[] = ".tmp";
constexpr char kJournalSuffix[] = "-journal";
constexpr size_t kTempNameBytes = 100;  // of the file's own name inside a temporary name

int32_t FromErrorCode(const std::error_code& ec, int32_t not_found) {
  return Win32ErrorFromErrno(ec.value(), not_found);
}

bool IsOwnTempName(const std::string& name) {
  return name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix);
}

// The patterns of a source list: the NUL-ended items before the empty item
// that closes the list (a list without its closing NUL ends with the text).
std::vector<std::u16string> SplitSourceList(const std::u16string& list) {
  std::vector<std::u16string> patterns;
  for (size_t start = 0; start < list.size();) {
    const size_t end = std::min(list.find(u'\0', start), list.size());
    if (end == start) break;
    patterns.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

// A pattern split before its last component: {folder, name pattern}.
std::pair<std::u16string, std::u16string> SplitPattern(const std::u16string& pattern) {
  const size_t cut = pattern.find_last_of(u"\\/");
  if (cut != std::u16string::npos) return {pattern.substr(0, cut + 1), pattern.substr(cut + 1)};
  if (pattern.size() >= 2 && pattern[1] == u':') return {pattern.substr(0, 2), pattern.substr(2)};
  return {u".", pattern};
}

// `name` cut to at most `bytes` bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& name, size_t bytes) {
  if (name.size() <= bytes) return name;
  while (bytes > 0 && (static_cast<unsigned char>(name[bytes]) & 0xC0) == 0x80) --bytes;
  return name.substr(0, bytes);
}

// A temporary file that is removed unless released.
class TempFile {
 public:
  explicit TempFile(fs::path path) : path_(std::move(path)) {}
  ~TempFile() {
    std::error_code ec;
    if (!path_.empty()) fs::remove(path_, ec);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const fs::path& path() const { return path_; }
  // Renames the file to `target`; afterwards it is no longer removed.
  int32_t RenameTo(const fs::path& target) {
    if (const int error = RenameOver(path_, target)) return Win32ErrorFromErrno(error, ERROR_PATH_NOT_FOUND);
    path_.clear();
    return ERROR_SUCCESS;
  }

 private:
  fs::path path_;
};

// The name a folder is copied under: its last component, also when the
// pattern ends in a separator.
fs::path FolderName(const fs::path& folder) {
  return folder.has_filename() ? folder.filename() : folder.parent_path().filename();
}

// The path with links and dot components resolved, without a trailing
// separator.
fs::path Resolved(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(path, ec);
  if (ec) resolved = path.lexically_normal();
  return resolved.has_filename() ? resolved : resolved.parent_path();
}

// Whether `inner` is `outer` or lies below it.
bool IsSameOrBelow(const fs::path& inner, const fs::path& outer) {
  const fs::path a = Resolved(inner);
  const fs::path b = Resolved(outer);
  return std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first == b.end();
}

// One file of the operation.
struct PlannedFile {
  fs::path source;
  fs::path relative;  // host path below the destination, names kept
  std::string name;   // the file's own name, as shown
  uint64_t bytes = 0;
  std::optional<fs::path> journal;
  uint64_t journal_bytes = 0;
};

// One SHFileOperationA call: the plan, the destination and the copying.
class CopyOperation {
 public:
  CopyOperation(const WinePrefix& prefix, WindowSystem& window, FileCopier& copier,
                SteadyClock::duration progress_delay, CopyPlacement placement, std::mt19937_64& random,
                uint16_t flags)
      : prefix_(prefix), window_(window), copier_(copier), progress_delay_(progress_delay),
        placement_(placement), random_(random), flags_(flags), start_(SteadyClock::now()) {}
  ~CopyOperation() {
    if (progress_shown_) window_.HideOperationProgress();
  }

  // Resolves every pattern to the files and folders it names, before
  // anything is written.
  int32_t Plan(const std::vector<std::u16string>& patterns, const std::u16string& destination);
  // Makes sure the destination folder exists, creating it as the flags say.
  int32_t PrepareDestination(const std::u16string& destination);
  void RemoveLeftoverTemps();
  int32_t CopyAll();
  bool aborted() const { return aborted_; }

 private:
  enum class Overwrite { kReplace, kSkip, kCancel };
  // A file copied under its temporary name, waiting to be put in place.
  struct Completed {
    std::unique_ptr<TempFile> temp;
    fs::path target;
    std::unique_ptr<TempFile> journal_temp;
  };

  int32_t AddPattern(const std::u16string& pattern);
  int32_t AddNamedFile(const std::u16string& pattern);
  int32_t AddFolder(const fs::path& source, const fs::path& relative);
  void Add(const fs::path& source, const fs::path& relative);
  void AttachJournals();
  int32_t MakeFolders();
  int32_t CopyOne(const PlannedFile& file);
  // Writes the file (and its journal) straight under the real name.
  int32_t CopyInPlace(const PlannedFile& file, const fs::path& target, const std::u16string& shown);
  int32_t Commit();
  int32_t Skip(const PlannedFile& file);
  Overwrite AskOverwrite(const std::string& name);
  int32_t CopyFileTo(const fs::path& from, uint64_t bytes, const fs::path& to, const std::u16string& shown);
  int32_t RemoveStaleJournal(const fs::path& journal_target);
  bool ReportProgress(const std::u16string& shown);
  // A fresh temporary name beside `target`.
  fs::path NewTempPath(const fs::path& target);

  const WinePrefix& prefix_;
  WindowSystem& window_;
  FileCopier& copier_;
  const SteadyClock::duration progress_delay_;
  const CopyPlacement placement_;
  std::mt19937_64& random_;
  const uint16_t flags_;
  const SteadyClock::time_point start_;
  std::vector<PlannedFile> plan_;
  std::vector<fs::path> planned_folders_;  // below the destination, parents first
  fs::path destination_;
  uint64_t bytes_total_ = 0;
  uint64_t bytes_done_ = 0;
  bool progress_shown_ = false;
  bool aborted_ = false;
  std::vector<Completed> completed_;
  std::set<fs::path> pending_targets_;  // of completed_, to be asked about like existing files
  bool wrote_in_place_ = false;
};

int32_t CopyOperation::Plan(const std::vector<std::u16string>& patterns, const std::u16string& destination) {
  destination_ = prefix_.ToHost(destination);
  for (const std::u16string& pattern : patterns) {
    if (const int32_t error = AddPattern(pattern)) return error;
  }
  AttachJournals();
  for (const PlannedFile& file : plan_) bytes_total_ += file.bytes + file.journal_bytes;
  return ERROR_SUCCESS;
}

// The files of the pattern's folder whose names match, and the folders
// unless FOF_FILESONLY, in name order.
int32_t CopyOperation::AddPattern(const std::u16string& pattern) {
  const auto [folder_text, name_pattern] = SplitPattern(pattern);
  if (!HasWildcard(name_pattern)) return AddNamedFile(pattern);
  const bool folders_too = (flags_ & FOF_FILESONLY) == 0;
  std::error_code ec;
  fs::directory_iterator it(prefix_.ToHost(folder_text), ec);
  std::vector<fs::directory_entry> matches;
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (!IsOwnTempName(name) && MatchesFilePattern(name_pattern, Utf8ToUtf16(name)) &&
        (it->is_regular_file(type_ec) || (folders_too && it->is_directory(type_ec)))) {
      matches.push_back(*it);
    }
  }
  if (ec) return FromErrorCode(ec, ERROR_PATH_NOT_FOUND);
  std::sort(matches.begin(), matches.end());
  for (const fs::directory_entry& match : matches) {
    std::error_code type_ec;
    if (!match.is_directory(type_ec)) {
      Add(match.path(), match.path().filename());
    } else if (const int32_t error = AddFolder(match.path(), match.path().filename())) {
      return error;
    }
  }
  return ERROR_SUCCESS;
}

// A pattern without wildcards names one file or one folder.
int32_t CopyOperation::AddNamedFile(const std::u16string& pattern) {
  const fs::path source = prefix_.ToHost(pattern);
  std::error_code ec;
  const fs::file_status status = fs::status(source, ec);
  if (fs::is_regular_file(status)) Add(source, source.filename());
  if (fs::is_directory(status)) return AddFolder(source, FolderName(source));
  if (fs::exists(status)) return ERROR_SUCCESS;
  if (ec && ec != std::errc::no_such_file_or_directory) return FromErrorCode(ec, ERROR_FILE_NOT_FOUND);
  return fs::is_directory(source.parent_path(), ec) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// A folder and everything in it, in name order, below `relative`. The
// folder must not be the destination or hold it: the copy would run into
// its own output.
int32_t CopyOperation::AddFolder(const fs::path& source, const fs::path& relative) {
  if (IsSameOrBelow(destination_, source)) return DE_DESTSUBTREE;
  planned_folders_.push_back(relative);
  std::error_code ec;
  fs::directory_iterator it(source, ec);
  std::vector<fs::directory_entry> entries;
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    if (!IsOwnTempName(it->path().filename().string())) entries.push_back(*it);
  }
  if (ec) return FromErrorCode(ec, ERROR_PATH_NOT_FOUND);
  std::sort(entries.begin(), entries.end());
  for (const fs::directory_entry& entry : entries) {
    std::error_code type_ec;
    const fs::path inner = relative / entry.path().filename();
    if (entry.is_symlink(type_ec) && entry.is_directory(type_ec)) continue;
    if (entry.is_regular_file(type_ec)) Add(entry.path(), inner);
    if (!entry.is_directory(type_ec)) continue;
    if (const int32_t error = AddFolder(entry.path(), inner)) return error;
  }
  return ERROR_SUCCESS;
}

void CopyOperation::Add(const fs::path& source, const fs::path& relative) {
  std::error_code ec;
  const uint64_t bytes = fs::file_size(source, ec);
  plan_.push_back({source, relative, source.filename().string(), ec ? 0 : bytes, std::nullopt, 0});
}

// A database's rollback journal travels with it: it leaves the plan as a
// file of its own and is copied together with its database.
void CopyOperation::AttachJournals() {
  std::set<fs::path> attached;
  for (PlannedFile& file : plan_) {
    fs::path journal = file.source;
    journal += kJournalSuffix;
    std::error_code ec;
    if (!fs::is_regular_file(journal, ec)) continue;
    file.journal = journal;
    file.journal_bytes = fs::file_size(journal, ec);
    if (ec) file.journal_bytes = 0;
    attached.insert(fs::weakly_canonical(journal, ec));
  }
  std::erase_if(plan_, [&](const PlannedFile& file) {
    std::error_code ec;
    return attached.count(fs::weakly_canonical(file.source, ec)) > 0;
  });
}

int32_t CopyOperation::PrepareDestination(const std::u16string& destination) {
  std::error_code ec;
  const fs::file_status status = fs::status(destination_, ec);
  if (fs::is_directory(status)) {
    RemoveLeftoverTemps();
    return ERROR_SUCCESS;
  }
  if (fs::exists(status)) return ERROR_PATH_NOT_FOUND;  // a file stands where the folder should be
  if (ec && ec != std::errc::no_such_file_or_directory) return FromErrorCode(ec, ERROR_PATH_NOT_FOUND);
  if ((flags_ & (FOF_NOCONFIRMMKDIR | FOF_NOCONFIRMATION)) == 0) {
    std::u16string shown = destination;
    while (shown.size() > 1 && (shown.back() == u'\\' || shown.back() == u'/')) shown.pop_back();
    const std::u16string prompt = u"文件夹“" + shown + u"”不存在。\r\n\r\n是否要创建该文件夹？";
    if (window_.MsgBox(prompt, MsgBoxButtons::kYesNo) != vbYes) {
      aborted_ = true;
      return ERROR_CANCELLED;
    }
  }
  fs::create_directories(destination_, ec);
  return ec ? FromErrorCode(ec, ERROR_PATH_NOT_FOUND) : ERROR_SUCCESS;
}

// The temporary files of a copy that was killed before it could put them
// in place or remove them. Only one copy writes into a folder at a time
// (the tool runs once), so every such file found here is a leftover.
void CopyOperation::RemoveLeftoverTemps() {
  std::error_code ec;
  fs::directory_iterator it(destination_, ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code remove_ec;
    if (IsOwnTempName(it->path().filename().string())) fs::remove(it->path(), remove_ec);
  }
}

// Copies every file to its temporary name, then puts the completed ones
// in place. After a failure or a cancel the files completed before it are
// still put in place, as a copy that stops keeps what it copied.
int32_t CopyOperation::CopyAll() {
  int32_t result = MakeFolders();
  for (const PlannedFile& file : plan_) {
    if (result != ERROR_SUCCESS) break;
    result = CopyOne(file);
  }
  const int32_t committed = Commit();
  return result != ERROR_SUCCESS ? result : committed;
}

// The copied folders, parents first; one that is there already is merged
// into, a file standing in a folder's place fails (80).
int32_t CopyOperation::MakeFolders() {
  for (const fs::path& relative : planned_folders_) {
    std::error_code ec;
    fs::create_directory(destination_ / relative, ec);
    if (ec) return FromErrorCode(ec, ERROR_PATH_NOT_FOUND);
  }
  return ERROR_SUCCESS;
}

int32_t CopyOperation::CopyOne(const PlannedFile& file) {
  const fs::path target = destination_ / file.relative;
  std::error_code ec;
  if (fs::exists(target, ec) || pending_targets_.count(target) > 0) {
    // Never copy a file onto itself: that would truncate it.
    if (fs::equivalent(file.source, target, ec)) return Skip(file);
    switch (AskOverwrite(file.name)) {
      case Overwrite::kCancel:
        aborted_ = true;
        return ERROR_CANCELLED;
      case Overwrite::kSkip:
        aborted_ = true;
        return Skip(file);
      case Overwrite::kReplace:
        break;
    }
  }
  const std::u16string shown = Utf8ToUtf16(file.name);
  if (placement_ == CopyPlacement::kInPlace) return CopyInPlace(file, target, shown);
  Completed completed{std::make_unique<TempFile>(NewTempPath(target)), target, nullptr};
  if (const int32_t error = CopyFileTo(file.source, file.bytes, completed.temp->path(), shown)) return error;
  if (file.journal) {
    fs::path journal_target = target;
    journal_target += kJournalSuffix;
    completed.journal_temp = std::make_unique<TempFile>(NewTempPath(journal_target));
    if (const int32_t error = CopyFileTo(*file.journal, file.journal_bytes, completed.journal_temp->path(), shown)) {
      return error;
    }
  }
  pending_targets_.insert(target);
  completed_.push_back(std::move(completed));
  return ERROR_SUCCESS;
}

// The old file and its journal go first; the new one is then written
// where they were. A copy that fails leaves no partial file under the name.
int32_t CopyOperation::CopyInPlace(const PlannedFile& file, const fs::path& target, const std::u16string& shown) {
  fs::path journal_target = target;
  journal_target += kJournalSuffix;
  if (const int32_t error = RemoveStaleJournal(journal_target)) return error;
  std::error_code ec;
  fs::remove(target, ec);
  if (ec) return FromErrorCode(ec, ERROR_PATH_NOT_FOUND);
  wrote_in_place_ = true;
  int32_t error = CopyFileTo(file.source, file.bytes, target, shown);
  if (error == ERROR_SUCCESS && file.journal) {
    error = CopyFileTo(*file.journal, file.journal_bytes, journal_target, shown);
    if (error != ERROR_SUCCESS) fs::remove(journal_target, ec);
  }
  if (error != ERROR_SUCCESS) fs::remove(target, ec);
  return error;
}

// Makes the temporary copies durable with one flush of the file system,
// then renames them over their real names and makes the renames durable in
// every folder that got one.
int32_t CopyOperation::Commit() {
  if (wrote_in_place_) {
    const int error = FlushFileSystem(destination_);
    return error != 0 ? Win32ErrorFromErrno(error, ERROR_PATH_NOT_FOUND) : ERROR_SUCCESS;
  }
  if (completed_.empty()) return ERROR_SUCCESS;
  if (const int error = FlushFileSystem(destination_)) return Win32ErrorFromErrno(error, ERROR_PATH_NOT_FOUND);
  std::set<fs::path> renamed_in;
  for (Completed& file : completed_) {
    renamed_in.insert(file.target.parent_path());
    fs::path journal_target = file.target;
    journal_target += kJournalSuffix;
    // A journal left from the file being replaced must never meet the new file.
    if (const int32_t error = RemoveStaleJournal(journal_target)) return error;
    if (const int32_t error = file.temp->RenameTo(file.target)) return error;
    if (file.journal_temp == nullptr) continue;
    if (const int32_t error = file.journal_temp->RenameTo(journal_target)) return error;
  }
  for (const fs::path& folder : renamed_in) {
    if (const int error = FlushFolder(folder)) return Win32ErrorFromErrno(error, ERROR_PATH_NOT_FOUND);
  }
  return ERROR_SUCCESS;
}

int32_t CopyOperation::Skip(const PlannedFile& file) {
  bytes_done_ += file.bytes + file.journal_bytes;
  return ERROR_SUCCESS;
}

CopyOperation::Overwrite CopyOperation::AskOverwrite(const std::string& name) {
  if ((flags_ & FOF_NOCONFIRMATION) != 0) return Overwrite::kReplace;
  const std::u16string prompt =
      u"此位置已经包含同名文件“" + Utf8ToUtf16(name) + u"”。\r\n\r\n是否要用正在复制的文件替换它？";
  switch (window_.MsgBox(prompt, MsgBoxButtons::kYesNoCancel)) {
    case vbYes: return Overwrite::kReplace;
    case vbNo: return Overwrite::kSkip;
    default: return Overwrite::kCancel;
  }
}

int32_t CopyOperation::CopyFileTo(const fs::path& from, uint64_t bytes, const fs::path& to,
                                  const std::u16string& shown) {
  const uint64_t base = bytes_done_;
  int32_t result = ERROR_CANCELLED;
  if (ReportProgress(shown)) {
    result = copier_.CopyFile(from, to, [&](uint64_t done) {
      bytes_done_ = base + std::min(done, bytes);
      return ReportProgress(shown);
    });
  }
  bytes_done_ = base + bytes;
  if (result == ERROR_CANCELLED) aborted_ = true;
  return result;
}

int32_t CopyOperation::RemoveStaleJournal(const fs::path& journal_target) {
  std::error_code ec;
  fs::remove(journal_target, ec);
  return ec ? FromErrorCode(ec, ERROR_PATH_NOT_FOUND) : ERROR_SUCCESS;
}

// Shown once the operation has run for the delay; false when the user cancelled.
bool CopyOperation::ReportProgress(const std::u16string& shown) {
  if (!progress_shown_ && SteadyClock::now() - start_ < progress_delay_) return true;
  progress_shown_ = true;
  const double fraction =
      bytes_total_ == 0 ? 0.0 : std::min(1.0, static_cast<double>(bytes_done_) / static_cast<double>(bytes_total_));
  return window_.ShowOperationProgress(shown, fraction);
}

fs::path CopyOperation::NewTempPath(const fs::path& target) {
  char random[17];
  std::snprintf(random, sizeof random, "%016llx", static_cast<unsigned long long>(random_()));
  return target.parent_path() /
         (kTempPrefix + CutUtf8(target.filename().string(), kTempNameBytes) + "-" + random + kTempSuffix);
}

}  // namespace

PosixShellCopy::PosixShellCopy(const WinePrefix& prefix, CodePage& code_page, WindowSystem& window,
                               FileCopier* copier, std::chrono::steady_clock::duration progress_delay,
                               CopyPlacement placement)
    : prefix_(prefix), code_page_(code_page), window_(window),
      copier_(copier != nullptr ? *copier : streaming_copier_), progress_delay_(progress_delay),
      placement_(placement), random_(std::random_device{}()) {}

int32_t PosixShellCopy::SHFileOperationA(ShFileOpStruct* op) {
  if (op == nullptr) return last_error_ = ERROR_INVALID_PARAMETER;
  op->fAnyOperationsAborted = 0;
  if (op->wFunc != FO_COPY) return last_error_ = ERROR_CALL_NOT_IMPLEMENTED;
  const std::vector<std::u16string> patterns = SplitSourceList(code_page_.FromAnsi(op->pFrom));
  const std::u16string to = code_page_.FromAnsi(op->pTo);
  const std::u16string destination = to.substr(0, to.find(u'\0'));
  if (patterns.empty() || destination.empty()) return last_error_ = ERROR_INVALID_PARAMETER;
  CopyOperation copy(prefix_, window_, copier_, progress_delay_, placement_, random_, op->fFlags);
  int32_t result = copy.Plan(patterns, destination);
  if (result == ERROR_SUCCESS) result = copy.PrepareDestination(destination);
  if (result == ERROR_SUCCESS) result = copy.CopyAll();
  op->fAnyOperationsAborted = copy.aborted() ? 1 : 0;
  return last_error_ = result;
}

}  // namespace brevak::posix
