#include "support/in_place_shop.h"

#include "core/mod_copy.h"
#include "platform/file_pattern.h"

namespace brevak::testing {
namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string WithoutTrailingBackslash(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string Between(const std::u16string& text, const std::u16string& start, char16_t end) {
  const size_t from = text.find(start);
  if (from == std::u16string::npos) return u"";
  const size_t begin = from + start.size();
  return text.substr(begin, text.find(end, begin) - begin);
}

// The table a statement or clause ends with, without its brackets.
std::u16string LastTable(const std::u16string& text) {
  std::u16string table = text.substr(text.find_last_of(u" .") + 1);
  if (table.starts_with(u"[")) table = table.substr(1, table.size() - 2);
  return table;
}

class ShopConnection : public Connection {
 public:
  explicit ShopConnection(FakeFolders& folders) : folders_(folders) {}

  void SetProvider(const std::u16string&) override {}
  void Open(const std::u16string& connection_string) override {
    path_ = Between(connection_string, u"Data Source =", u';');
    if (FindFile(folders_, path_) == nullptr) throw vb_error::Raise(vb_error::kFileNotFound);
    open_ = true;
  }
  void Execute(const std::u16string& statement) override {
    ShopTables tables = TablesOf(File());
    if (statement.starts_with(u"delete from ")) {
      tables[LastTable(statement)].clear();
    } else {
      tables[Between(statement, u"Insert into [", u']')] += Source(statement);
    }
    StoreTables(File(), tables);
  }
  int32_t ExecuteCount(const std::u16string& statement) override {
    if (statement.find(u"[;database=") != std::u16string::npos) return static_cast<int32_t>(Source(statement).size());
    return static_cast<int32_t>(TablesOf(File())[LastTable(statement)].size());
  }
  void Close() override { open_ = false; }
  int32_t State() override { return open_ ? adStateOpen : adStateClosed; }
  void BeginTrans() override { before_ = File(); }
  void CommitTrans() override {}
  void RollbackTrans() override { File() = before_; }

 private:
  FakeFile& File() {
    FakeFile* file = FindFile(folders_, path_);
    if (!open_ || file == nullptr) throw vb_error::Raise(vb_error::kObjectNotSet);
    return *file;
  }
  // The rows of the external table a statement names.
  std::string Source(const std::u16string& statement) {
    const FakeFile* source = FindFile(folders_, Between(statement, u"[;database=", u';'));
    if (source == nullptr) throw vb_error::Raise(vb_error::kFileNotFound);
    return TablesOf(*source)[LastTable(statement)];
  }

  FakeFolders& folders_;
  std::u16string path_;
  bool open_ = false;
  FakeFile before_;
};

}  // namespace

ShopTables TablesOf(const FakeFile& file) {
  ShopTables tables;
  for (size_t at = 0; at < file.content.size();) {
    const size_t equals = file.content.find('=', at);
    const size_t end = file.content.find(';', equals);
    tables[Widen(file.content.substr(at, equals - at))] = file.content.substr(equals + 1, end - equals - 1);
    at = end + 1;
  }
  return tables;
}

void StoreTables(FakeFile& file, const ShopTables& tables) {
  file.content.clear();
  for (const auto& [table, rows] : tables) file.content += std::string(table.begin(), table.end()) + "=" + rows + ";";
  file.size = static_cast<int64_t>(file.content.size());
}

FakeFile* FindFile(FakeFolders& folders, const std::u16string& path) {
  for (auto& [folder, files] : folders.files) {
    for (FakeFile& file : files) {
      if (folder + u"\\" + file.name == path) return &file;
    }
  }
  return nullptr;
}

int32_t InPlaceCopier::SHFileOperationA(ShFileOpStruct* op) {
  const std::u16string to = WithoutTrailingBackslash(Widen(op->pTo));
  for (const std::u16string& pattern : PatternsOf(Widen(op->pFrom))) {
    const size_t cut = pattern.find_last_of(u'\\');
    const std::vector<FakeFile> sources = folders_.files[WithoutTrailingBackslash(pattern.substr(0, cut))];
    for (const FakeFile& file : sources) {
      if (!MatchesFilePattern(pattern.substr(cut + 1), file.name)) continue;
      if (written == kill_after) throw Killed{};
      CopyOne(file, to);
      ++written;
    }
  }
  return 0;
}

void InPlaceCopier::CopyOne(const FakeFile& file, const std::u16string& to_folder) {
  std::vector<FakeFile>& files = folders_.files[to_folder];
  if (FakeFile* existing = FindFile(folders_, to_folder + u"\\" + file.name)) {
    *existing = file;
  } else {
    files.push_back(file);
  }
  const size_t cut = to_folder.find_last_of(u'\\');
  std::vector<std::u16string>& listed = folders_.subfolders[to_folder.substr(0, cut + 1)];
  const std::u16string name = to_folder.substr(cut + 1);
  if (std::find(listed.begin(), listed.end(), name) == listed.end()) listed.push_back(name);
  folders_.existing_folders.insert(to_folder);
}

std::unique_ptr<Connection> ShopDatabase::CreateConnection(const std::u16string&) {
  return std::make_unique<ShopConnection>(folders_);
}

}  // namespace brevak::testing
