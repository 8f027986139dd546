#ifndef BREVAK_PLATFORM_POSIX_REGISTRY_POSIX_REGISTRY_H_
#define BREVAK_PLATFORM_POSIX_REGISTRY_POSIX_REGISTRY_H_

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "platform/posix/registry/wine_registry_file.h"
#include "platform/registry.h"

namespace brevak::posix {

// The registry of a Wine prefix, read only: HKEY_LOCAL_MACHINE is
// <prefix>/system.reg, read afresh by each RegOpenKeyA, so an open key sees
// the values as they were then. Other roots hold no keys. Names and text
// data are converted to the code page with sizes in its bytes, as the 8-bit
// calls of Windows report them. Lines of the file that cannot be read are
// reported on `diagnostics` and left out.
class PosixRegistry : public Registry {
 public:
  PosixRegistry(const WinePrefix& prefix, CodePage& code_page, std::ostream& diagnostics = std::cerr);

  // ERROR_FILE_NOT_FOUND when the file is missing or unreadable, is not a
  // registry file, or lacks the key. `root` may also be an open key.
  int32_t RegOpenKeyA(HKEY root, const std::string& sub_key, HKEY* result) override;
  // `reserved` must be null. On ERROR_MORE_DATA *type and *data_size are
  // still reported; a name that does not fit is cut to the buffer.
  int32_t RegEnumValueA(HKEY key, uint32_t index, char* name, uint32_t* name_size,
                        uint32_t* reserved, uint32_t* type, uint8_t* data,
                        uint32_t* data_size) override;
  // The sub-keys as the file spells them, in the order of their names in
  // lower case (Windows keeps them sorted ignoring case).
  int32_t RegEnumKeyA(HKEY key, uint32_t index, char* name, uint32_t size) override;
  int32_t RegCloseKey(HKEY key) override;
  // %NAME% from the process environment, the name matched ignoring letter
  // case (an exact match first). An unknown name, "%%" and a lone "%" stay
  // as they stand. The result is cut to `size` (never within a double-byte
  // character) and always ended by a NUL when `size` > 0.
  uint32_t ExpandEnvironmentStringsA(const char* source, char* destination,
                                     uint32_t size) override;

 private:
  struct OpenKey {
    std::u16string path;
    std::vector<RegistryValue> values;
    std::vector<std::u16string> sub_keys;
  };

  std::optional<std::u16string> PathOf(HKEY root) const;
  // The bytes an 8-bit read hands out: text converted, others as held.
  std::string DataBytes(const RegistryValue& value) const;
  // `text` (GBK) with each %NAME% of a set variable replaced.
  std::string Expand(const std::string& text) const;
  // The variable's value in the code page; empty when it is not set.
  std::optional<std::string> Variable(const std::string& name) const;

  const std::filesystem::path system_reg_;
  CodePage& code_page_;
  std::ostream& diagnostics_;
  std::map<HKEY, OpenKey> open_keys_;
  HKEY next_handle_ = 0x40;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_REGISTRY_POSIX_REGISTRY_H_
