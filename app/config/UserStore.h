#pragma once
// Whether the current user's registry store can be read at all.

namespace vyn {

// False when the store's file does not parse or cannot be read, whatever key is asked for.
bool UserStoreReadable();

}  // namespace vyn
