#include "support/tool_environment.h"

extern char** environ;

namespace brevak::testing {

std::vector<std::string> ToolEnvironment(const std::filesystem::path& prefix, const std::string& script) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("WINEPREFIX=", 0) == 0 || text.rfind("BREVAK_UI_SCRIPT=", 0) == 0) continue;
    env.push_back(text);
  }
  env.push_back("WINEPREFIX=" + prefix.string());
  env.push_back("BREVAK_UI_SCRIPT=" + script);
  return env;
}

std::vector<char*> ExecPointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace brevak::testing
