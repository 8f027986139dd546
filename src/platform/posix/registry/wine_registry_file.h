#ifndef BREVAK_PLATFORM_POSIX_REGISTRY_WINE_REGISTRY_FILE_H_
#define BREVAK_PLATFORM_POSIX_REGISTRY_WINE_REGISTRY_FILE_H_

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brevak::posix {

// One value of a key, as the registry holds it.
struct RegistryValue {
  std::u16string name;  // empty for the unnamed value
  uint32_t type = 0;
  // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ: the text with its terminating
  // NUL(s) as held (a text written as hex data may lack them).
  std::u16string text;
  // Every other type: the data bytes.
  std::string bytes;
};

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ: the types whose data the 8-bit
// calls convert to the code page.
bool IsTextType(uint32_t type);

// The keys and values of one registry file in Wine's text format
// ("WINE REGISTRY Version 2", as system.reg and user.reg are written).
class WineRegistryFile {
 public:
  // Reads `path`. Empty when the file cannot be read or does not start with
  // the format's header; that is reported as one line on `diagnostics`.
  // A key or value line that cannot be read exactly is reported as one line
  // naming the file and line number and left out; the rest is still read.
  static std::optional<WineRegistryFile> Load(const std::filesystem::path& path,
                                              std::ostream& diagnostics);

  // The values of the key `path` ("A\B\C", matched ignoring letter case) in
  // file order. Empty when the file holds neither the key nor a key below it;
  // a key known only from a key below it has no values. "" is the root.
  std::optional<std::vector<RegistryValue>> FindKey(const std::u16string& path) const;
  // The names of the keys directly below `path` ("" for the root), as the
  // file first spells them, in the order of their names in lower case.
  std::vector<std::u16string> SubKeys(const std::u16string& path) const;

  // Adds the key `path` (and the keys above it) when absent; returns its values.
  std::vector<RegistryValue>& AddKey(const std::u16string& path);
  // Sets `value` in `key`: a value of the same name (ignoring letter case)
  // takes the new data where it stands, keeping its name; a new one goes last.
  static void SetValue(std::vector<RegistryValue>& key, RegistryValue value);

 private:
  WineRegistryFile();

  std::map<std::u16string, std::vector<RegistryValue>> keys_;  // by folded path
  std::map<std::u16string, std::u16string> spellings_;         // folded path: as first written
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_REGISTRY_WINE_REGISTRY_FILE_H_
