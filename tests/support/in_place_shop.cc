#include "support/in_place_shop.h"

#include "core/mod_copy.h"
#include "platform/file_pattern.h"

namespace brevak::testing {
namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string Between(const std::u16string& text, const std::u16string& start, char16_t end) {
  const size_t begin = text.find(start) + start.size();
  return text.substr(begin, text.find(end, begin) - begin);
}

// The table a statement or clause ends with, without its brackets.
std::u16string LastTable(const std::u16string& text) {
  std::u16string table = text.substr(text.find_last_of(u" .") + 1);
  return table.starts_with(u"[") ? table.substr(1, table.size() - 2) : table;
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
    if (statement.starts_with(u"delete from ")) tables[LastTable(statement)].clear();
    if (statement.starts_with(u"Insert into [")) tables[Between(statement, u"Insert into [", u']')] += Source(statement);
    StoreTables(File(), tables);
  }
  int32_t ExecuteCount(const std::u16string& statement) override {
    const bool external = statement.find(u"[;database=") != std::u16string::npos;
    return static_cast<int32_t>((external ? Source(statement) : TablesOf(File())[LastTable(statement)]).size());
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
  for (size_t at = 0, equals, end; at < file.content.size(); at = end + 1) {
    equals = file.content.find('=', at);
    end = file.content.find(';', equals);
    tables[Widen(file.content.substr(at, equals - at))] = file.content.substr(equals + 1, end - equals - 1);
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

// Each file goes straight to its place; the folder it goes to is listed.
int32_t InPlaceCopier::SHFileOperationA(ShFileOpStruct* op) {
  std::u16string to = Widen(op->pTo);
  while (to.ends_with(u"\\")) to.pop_back();
  const size_t cut = to.find_last_of(u'\\');
  std::vector<std::u16string>& listed = folders_.subfolders[to.substr(0, cut + 1)];
  if (std::find(listed.begin(), listed.end(), to.substr(cut + 1)) == listed.end()) listed.push_back(to.substr(cut + 1));
  for (const std::u16string& pattern : PatternsOf(Widen(op->pFrom))) {
    std::u16string from = pattern.substr(0, pattern.find_last_of(u'\\'));
    while (from.ends_with(u"\\")) from.pop_back();
    for (const FakeFile& file : std::vector<FakeFile>(folders_.files[from])) {
      if (!MatchesFilePattern(pattern.substr(pattern.find_last_of(u'\\') + 1), file.name)) continue;
      if (written_++ == kill_after) throw Killed{};
      FakeFile* existing = FindFile(folders_, to + u"\\" + file.name);
      existing != nullptr ? void(*existing = file) : folders_.files[to].push_back(file);
    }
  }
  return 0;
}

std::unique_ptr<Connection> ShopDatabase::CreateConnection(const std::u16string&) {
  return std::make_unique<ShopConnection>(folders_);
}

}  // namespace brevak::testing
