#include "support/tool_environment.h"

extern char** environ;

namespace brevak::testing {

std::vector<std::string> ToolEnvironment(const std::filesystem::path& prefix, const std::string& script,
                                         const std::vector<std::string>& extra) {
  std::vector<std::string> set = {"WINEPREFIX=" + prefix.string(), "BREVAK_UI_SCRIPT=" + script};
  set.insert(set.end(), extra.begin(), extra.end());
  const auto replaced = [&](const std::string& entry) {
    for (const std::string& variable : set) {
      const size_t name_end = variable.find('=');
      if (entry.compare(0, name_end + 1, variable, 0, name_end + 1) == 0) return true;
    }
    return false;
  };
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!replaced(*entry)) env.push_back(*entry);
  }
  env.insert(env.end(), set.begin(), set.end());
  return env;
}

std::vector<char*> ExecPointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace brevak::testing
