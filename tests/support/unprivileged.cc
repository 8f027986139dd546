#include "support/unprivileged.h"

#include <sys/wait.h>
#include <unistd.h>

namespace brevak::testing {

int RunUnprivileged(const std::function<int()>& check) {
  if (geteuid() != 0) return check();
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(255);
    _exit(check() & 0xFF);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

}  // namespace brevak::testing
