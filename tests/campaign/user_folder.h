#ifndef BREVAK_TESTS_CAMPAIGN_USER_FOLDER_H_
#define BREVAK_TESTS_CAMPAIGN_USER_FOLDER_H_

// A folder of the shop's own in the installation folder, named like a
// backup (fourteen digits), with or without files named like the copier's
// temporaries, with or without a copy of the databases. The tool never
// made it, so it must never remove or change anything in it.

#include <filesystem>
#include <map>
#include <string>

namespace brevak::campaign {

// Every file and folder below a folder, by relative path ("/" after a
// folder's), with each file's bytes.
struct FolderContents {
  bool exists = false;
  std::map<std::string, std::string> entries;
};

FolderContents ReadContents(const std::filesystem::path& folder);

// What differs from `before` in `now`: "removed", "notes.txt changed", ...;
// empty when nothing does.
std::string ContentChanges(const FolderContents& before, const FolderContents& now);

// Makes the folder `variant` describes in the installation and says what it made.
std::filesystem::path PlantUserFolder(const std::filesystem::path& install, int variant, std::string* what);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_USER_FOLDER_H_
