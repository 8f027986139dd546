// The Windows side: the real registry and version.dll, paths from the ANSI
// command line.
#include <fcntl.h>
#include <io.h>

#include <iostream>

#include "dump_platform.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_version_info.h"

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  brevak::win32::Win32CodePage code_page;
  brevak::win32::Win32Registry registry;
  brevak::win32::Win32VersionInfo version_info;
  brevak::Platform platform;
  platform.registry = &registry;
  platform.version_info = &version_info;
  platform.code_page = &code_page;
  std::vector<std::u16string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(code_page.FromAnsi(argv[i]));
  brevak::DumpPlatform(platform, paths, std::cout);
  return 0;
}
