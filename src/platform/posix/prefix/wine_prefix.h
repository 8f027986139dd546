#ifndef BREVAK_PLATFORM_POSIX_PREFIX_WINE_PREFIX_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_WINE_PREFIX_H_

#include <filesystem>
#include <string>

namespace brevak::posix {

// A Wine prefix standing in for the Windows machine: its drives are the
// symlinks in <prefix>/dosdevices, HKEY_LOCAL_MACHINE is <prefix>/system.reg.
class WinePrefix {
 public:
  explicit WinePrefix(std::filesystem::path root);
  // $WINEPREFIX, else ~/.wine.
  static WinePrefix FromEnvironment();

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path SystemRegistryFile() const { return root_ / "system.reg"; }

  // The host path of a Windows path. "X:" is <prefix>/dosdevices/x:; "\" and
  // "/" both separate and a run of separators is one; a component that does
  // not exist exactly is matched case-insensitively; "." and ".." are
  // resolved. A path without a drive is taken from the current folder.
  std::filesystem::path ToHost(const std::u16string& windows_path) const;

  // The Windows path of a host path: the drive whose target holds it most
  // deeply, else Z:. Backslashes, no trailing separator.
  std::u16string ToWindows(const std::filesystem::path& host_path) const;

 private:
  std::filesystem::path root_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_WINE_PREFIX_H_
