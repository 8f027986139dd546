#ifndef BREVAK_TESTS_SUPPORT_FAULTY_COPIER_H_
#define BREVAK_TESTS_SUPPORT_FAULTY_COPIER_H_

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/shell_copy/file_copier.h"

namespace brevak::testing {

// Wraps the real copier: the `fail_at`-th copy (from 1) writes half of its
// file, lets the test look around, then fails with `error` or, when
// `interrupt` is set, is cut off by an exception as by a crash.
class FaultyCopier : public posix::FileCopier {
 public:
  struct Interrupted {};

  int32_t CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                   const posix::CopyProgress& progress) override;

  int fail_at = 0;
  int32_t error = 0;
  bool interrupt = false;
  std::function<void()> while_failing;
  int calls = 0;
  std::vector<std::string> copied_from;

 private:
  posix::StreamingFileCopier real_;
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_FAULTY_COPIER_H_
