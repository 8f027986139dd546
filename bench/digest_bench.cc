// Times the SHA-256 of a shop's two databases as the in-progress record
// takes them after a backup, on the build it is built for: the Linux build
// through libcrypto on a Wine-style prefix ($WINEPREFIX), the Windows build
// (run under Wine or on Windows) through CryptoAPI.
//
//   digest-bench FOLDER [ROUNDS]
//
// FOLDER is the Windows path of the folder holding Customerdata.car and
// Addr.mdb (C:\Brevak in bench/digest_bench.sh's prefix). ROUNDS (default
// 3): the best counts, the first may read from the disk rather than the
// cache. bench/digest_bench.sh makes the shop and runs both builds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include "platform/win32/win32_file_digests.h"
#include <windows.h>
#else
#include <filesystem>

#include "platform/posix/prefix/posix_file_digests.h"
#endif

namespace {

std::u16string Widen(const std::string& text) {
#ifdef _WIN32
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                                      static_cast<int>(wide.size()))) - 1);
  return std::u16string(wide.begin(), wide.end());
#else
  return std::u16string(text.begin(), text.end());
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: digest-bench FOLDER [ROUNDS]\n");
    return 2;
  }
  const std::u16string folder = Widen(argv[1]);
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
#ifdef _WIN32
  const char* build = "Windows build";
  brevak::win32::Win32FileDigests digests;
#else
  const char* build = "Linux build";
  const brevak::posix::WinePrefix prefix = brevak::posix::WinePrefix::FromEnvironment();
  brevak::posix::PosixFileDigests digests(prefix);
#endif
  double best = 1e9;
  long long bytes = 0;
  int chunks = 0;
  for (int round = 0; round < rounds; ++round) {
    chunks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const char16_t* name : {u"\\Customerdata.car", u"\\Addr.mdb"}) {
      if (!digests.Sha256(folder + name, [&] { ++chunks; })) {
        std::fprintf(stderr, "digest-bench: a database is missing from %s\n", argv[1]);
        return 1;
      }
    }
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
#ifdef _WIN32
  for (const wchar_t* name : {L"\\Customerdata.car", L"\\Addr.mdb"}) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const std::u16string path = folder;
    GetFileAttributesExW((std::wstring(path.begin(), path.end()) + name).c_str(), GetFileExInfoStandard, &data);
    bytes += (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
#else
  for (const char16_t* name : {u"\\Customerdata.car", u"\\Addr.mdb"}) {
    bytes += static_cast<long long>(std::filesystem::file_size(prefix.ToHost(folder + name)));
  }
#endif
  std::printf("%s: SHA-256 of both databases, %.1f MB in %d chunks: best %.3f s of %d (%.0f MB/s)\n", build,
              static_cast<double>(bytes) / 1e6, chunks, best, rounds, static_cast<double>(bytes) / 1e6 / best);
  return 0;
}
