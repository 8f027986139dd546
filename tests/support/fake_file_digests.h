#ifndef BREVAK_TESTS_SUPPORT_FAKE_FILE_DIGESTS_H_
#define BREVAK_TESTS_SUPPORT_FAKE_FILE_DIGESTS_H_

#include <set>
#include <string>
#include <vector>

#include "support/fake_platform.h"

namespace brevak::testing {

// Digests of the files of a FakeFolders, taken of each file's size and
// content (never its date): 64 hex digits that differ when either does.
class FakeFileDigests : public FileDigests {
 public:
  explicit FakeFileDigests(FakeFolders& folders) : folders_(folders) {}

  std::optional<std::string> Sha256(const std::u16string& path,
                                    const std::function<void()>& between_chunks) override;

  std::set<std::u16string> failing;  // reading these raises a run-time error
  std::vector<std::u16string> read;  // every path asked for, in order

 private:
  FakeFolders& folders_;
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_FAKE_FILE_DIGESTS_H_
