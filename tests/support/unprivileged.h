#ifndef BREVAK_TESTS_SUPPORT_UNPRIVILEGED_H_
#define BREVAK_TESTS_SUPPORT_UNPRIVILEGED_H_

#include <functional>

namespace brevak::testing {

// Runs `check` as a user without privileges and returns its result (0 to
// 255). Root reads every file, so under root a child process gives up its
// privileges (user and group nobody) first; -1 when that child fails.
int RunUnprivileged(const std::function<int()>& check);

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_UNPRIVILEGED_H_
