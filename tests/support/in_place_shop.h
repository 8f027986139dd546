#ifndef BREVAK_TESTS_SUPPORT_IN_PLACE_SHOP_H_
#define BREVAK_TESTS_SUPPORT_IN_PLACE_SHOP_H_

// An installation in memory for property tests of the core. Each database
// file of a FakeFolders holds tables of row tokens in its content
// ("T=rows;" per table, one character a row); the copier writes each file
// of a request in place, in list order, as SHFileOperationA does, and can
// be killed between files; the connections run the migration's statements
// on those files.
#include <map>
#include <string>

#include "support/fake_platform.h"

namespace brevak::testing {

using ShopTables = std::map<std::u16string, std::string>;

ShopTables TablesOf(const FakeFile& file);
void StoreTables(FakeFile& file, const ShopTables& tables);
// The file at `path` (folder + "\" + name), or null.
FakeFile* FindFile(FakeFolders& folders, const std::u16string& path);

class InPlaceCopier : public ShellCopy {
 public:
  struct Killed {};  // the process ends: nothing after the kill runs
  explicit InPlaceCopier(FakeFolders& folders) : folders_(folders) {}

  int32_t SHFileOperationA(ShFileOpStruct* op) override;
  int32_t GetLastError() override { return 0; }

  int kill_after = -1;  // files written before the kill; never when negative
  int written = 0;

 private:
  void CopyOne(const FakeFile& file, const std::u16string& to_folder);

  FakeFolders& folders_;
};

class ShopDatabase : public Database {
 public:
  explicit ShopDatabase(FakeFolders& folders) : folders_(folders) {}
  std::unique_ptr<Connection> CreateConnection(const std::u16string& prog_id) override;

 private:
  FakeFolders& folders_;
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_IN_PLACE_SHOP_H_
