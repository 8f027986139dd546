#ifndef BREVAK_TESTS_CAMPAIGN_SHOP_PREFIX_H_
#define BREVAK_TESTS_CAMPAIGN_SHOP_PREFIX_H_

// A shop's machine as a Wine-style prefix: Brevak 5.06.0004 installed in
// C:\Brevak with the shop's records, and the 5.06.0005 package in
// C:\Brevak升级包 with fresh databases and the tool itself.

#include <cstdint>
#include <filesystem>

namespace brevak::campaign {

struct ShopSpec {
  int64_t rows = 300;           // the shop's own records
  uint64_t seed = 1;
  bool lacks_huifang_kind = false;  // an older release's customer database, without Huifang_kind
};

std::filesystem::path InstallDir(const std::filesystem::path& prefix);
std::filesystem::path PackageDir(const std::filesystem::path& prefix);
std::filesystem::path PackageTool(const std::filesystem::path& prefix);

// Makes the prefix at `root` (which must not exist). `fixtures` holds the
// two Brevak.exe files with version resources; `tool` is hard-linked into
// the package, so the tool's own folder is the package.
void MakeShopPrefix(const std::filesystem::path& root, const ShopSpec& spec, const std::filesystem::path& tool,
                    const std::filesystem::path& fixtures);

// Copies a prefix: symbolic links as links, pipes as pipes, the package's
// tool as a hard link, everything else as files.
void CopyPrefix(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace brevak::campaign

#endif  // BREVAK_TESTS_CAMPAIGN_SHOP_PREFIX_H_
