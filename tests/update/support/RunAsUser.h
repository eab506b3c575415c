#pragma once
// Runs a piece of a test as another user, in a child process: what a user without root's
// powers meets (a folder that refuses a delete, a link another user planted).

#include <functional>
#include <sys/types.h>

namespace vyn::test {

// Runs `work` in a forked child with the given user and group ids and no supplementary
// groups; returns its result, or -1 when the child could not switch or did not end normally.
// Only for a root test process; the child must not rely on threads of the parent.
int RunAsUser(uid_t uid, gid_t gid, const std::function<int()>& work);

}  // namespace vyn::test
