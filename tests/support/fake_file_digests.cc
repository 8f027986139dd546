#include "support/fake_file_digests.h"

namespace brevak::testing {
namespace {

// FNV-1a, four times with different seeds: a stand-in, not a hash to trust.
std::string FakeSha256(const std::string& bytes) {
  unsigned char digest[32];
  for (int part = 0; part < 4; ++part) {
    uint64_t hash = 1469598103934665603ull ^ static_cast<uint64_t>(part);
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    for (int i = 0; i < 8; ++i) digest[part * 8 + i] = static_cast<unsigned char>(hash >> (8 * i));
  }
  return DigestHex(digest, sizeof digest);
}

}  // namespace

std::optional<std::string> FakeFileDigests::Sha256(const std::u16string& path,
                                                   const std::function<void()>& between_chunks) {
  read.push_back(path);
  if (failing.count(path) != 0) throw vb_error::Raise(vb_error::kPermissionDenied);
  for (const auto& [folder, files] : folders_.files) {
    for (const FakeFile& file : files) {
      if (folder + u"\\" + file.name != path) continue;
      if (between_chunks) between_chunks();
      return FakeSha256(std::to_string(file.size) + ":" + file.content);
    }
  }
  return std::nullopt;
}

}  // namespace brevak::testing
