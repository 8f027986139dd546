#ifndef BREVAK_TESTS_SUPPORT_TEMP_PREFIX_H_
#define BREVAK_TESTS_SUPPORT_TEMP_PREFIX_H_

#include <filesystem>
#include <string>

namespace brevak::testing {

// A fresh Wine-style prefix in a temporary folder, removed when the test
// ends: drive_c, dosdevices/c: -> ../drive_c and dosdevices/z: -> /.
class TempPrefix {
 public:
  TempPrefix();
  ~TempPrefix();
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path drive_c() const { return root_ / "drive_c"; }
  // A path below drive_c, given with '/' separators.
  std::filesystem::path OnDriveC(const std::string& relative) const { return drive_c() / relative; }

  // Writes <prefix>/system.reg as given (UTF-8 text).
  void WriteSystemReg(const std::string& content) const;
  // A system.reg holding one HKLM key with the given value lines
  // (already in Wine's syntax, e.g. "@=\"C:\\\\Brevak\\\\Brevak.exe\"").
  static std::string SystemRegWithKey(const std::string& key_path, const std::string& value_lines);

 private:
  std::filesystem::path root_;
};

// Writes `content` to `path`, creating the folders on the way.
void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_TEMP_PREFIX_H_
