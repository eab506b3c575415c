#include "RunAsUser.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vyn::test {

int RunAsUser(uid_t uid, gid_t gid, const std::function<int()>& work) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 ||
        setresuid(uid, uid, uid) != 0)
      _exit(255);
    _exit(work() & 0xFF);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
    return -1;
  return WEXITSTATUS(status);
}

}  // namespace vyn::test
