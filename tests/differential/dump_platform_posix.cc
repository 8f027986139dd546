// The Linux side: the prefix's system.reg and the PE reader, paths from the
// UTF-8 command line.
#include <iostream>

#include "dump_platform.h"
#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/registry/posix_registry.h"
#include "platform/posix/version/posix_version_info.h"
#include "platform/posix/text/utf.h"
#include "platform/posix/prefix/wine_prefix.h"

int main(int argc, char** argv) {
  using namespace brevak::posix;
  const WinePrefix prefix = WinePrefix::FromEnvironment();
  IconvCodePage code_page;
  PosixRegistry registry(prefix, code_page);
  PosixVersionInfo version_info(prefix, code_page);
  brevak::Platform platform;
  platform.registry = &registry;
  platform.version_info = &version_info;
  platform.code_page = &code_page;
  std::vector<std::u16string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(Utf8ToUtf16(argv[i]));
  brevak::DumpPlatform(platform, paths, std::cout);
  return 0;
}
