#ifndef BREVAK_TESTS_SUPPORT_TOOL_ENVIRONMENT_H_
#define BREVAK_TESTS_SUPPORT_TOOL_ENVIRONMENT_H_

// The environment the built tool is started with from outside: this
// process's own, less the two variables that choose the tool's prefix and
// its script, which are set to the run's. Used by the whole-program tests
// and by the fault campaign, so that both start the tool the same way.

#include <filesystem>
#include <string>
#include <vector>

namespace brevak::testing {

// "NAME=value" entries; `script` is what BREVAK_UI_SCRIPT names (a file, or
// /dev/fd/N for a pipe). Each of `extra` ("TZ=UTC0") is set too, replacing
// this process's own value of that variable.
std::vector<std::string> ToolEnvironment(const std::filesystem::path& prefix, const std::string& script,
                                         const std::vector<std::string>& extra = {});

// Pointers into `texts` (an argv or an environment), ended by a null pointer,
// for execve.
std::vector<char*> ExecPointers(std::vector<std::string>& texts);

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_TOOL_ENVIRONMENT_H_
