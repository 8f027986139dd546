#include "campaign/user_folder.h"

#include <fstream>
#include <iterator>

#include "campaign/carried_tables.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

// An old date, a date after any backup the runs make (so it is the newest
// entry when it holds a database), and digits that are no date.
constexpr const char* kNames[] = {"20190301093000", "20991231235959", "12345678901234"};

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

FolderContents ReadContents(const fs::path& folder) {
  FolderContents contents;
  std::error_code ec;
  contents.exists = fs::is_directory(folder, ec);
  if (!contents.exists) return contents;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string name = it->path().lexically_relative(folder).string();
    if (it->is_directory(ec)) {
      contents.entries[name + "/"] = "";
    } else {
      contents.entries[name] = ReadBytes(it->path());
    }
  }
  return contents;
}

std::string ContentChanges(const FolderContents& before, const FolderContents& now) {
  if (before.exists && !now.exists) return "removed";
  std::string changes;
  const auto add = [&](const std::string& name, const char* what) {
    changes += (changes.empty() ? "" : ", ") + name + " " + what;
  };
  for (const auto& [name, bytes] : before.entries) {
    const auto found = now.entries.find(name);
    if (found == now.entries.end()) {
      add(name, "removed");
    } else if (found->second != bytes) {
      add(name, "changed");
    }
  }
  for (const auto& [name, bytes] : now.entries) {
    if (!before.entries.contains(name)) add(name, "added");
  }
  return changes;
}

fs::path PlantUserFolder(const fs::path& install, int variant, std::string* what) {
  const fs::path folder = install / kNames[variant % std::size(kNames)];
  const bool temporaries = (variant / 3) % 2 == 1;
  const bool databases = (variant / 6) % 2 == 1;
  fs::create_directories(folder / "照片");
  std::ofstream(folder / "客户名单.txt", std::ios::binary) << "张三 13800000000\r\n李四 13900000000\r\n";
  std::ofstream(folder / "照片" / "车辆.jpg", std::ios::binary) << std::string(3000, '\xff');
  if (temporaries) {
    std::ofstream(folder / ".~brevak-Addr.mdb-0123456789abcdef.tmp", std::ios::binary) << std::string(512, 'a');
    std::ofstream(folder / ".~brevak-notes.tmp", std::ios::binary) << "";
  }
  if (databases) {
    for (const char* file : {kCustomerFile, kAddressBookFile}) fs::copy_file(install / file, folder / file);
  }
  *what = "user folder " + folder.filename().string() + " (a list, a photo" +
          (temporaries ? ", files named like the copier's temporaries" : "") +
          (databases ? ", a copy of the databases" : "") + ")";
  return folder;
}

}  // namespace brevak::campaign
