#pragma once
// The current user's own folder inside the system temporary folder. The system folder is
// shared with every user, so a name there may already be someone else's file, folder or link.

#include <string>

namespace vyn {

// "$TMPDIR/vynupdate-<uid>" (without trailing '/'), created with mode 0700. A folder of that
// name that is a link, not a folder, another user's, or open to others is never used: the
// process then makes a folder of its own with an unpredictable name and keeps it for later
// calls. "" when neither can be had.
std::string PrivateTempDir();

// True when `folder` is a real folder (not a link) owned by this user and closed to others.
bool IsPrivateFolder(const std::string& folder);

}  // namespace vyn
