#pragma once
// The program's embedded resources: byte arrays linked into the executable and registered by
// name at start-up, looked up where the engine needs them (the patch tool, the updater).

#include <optional>
#include <string>
#include <string_view>

namespace vyn {

// Registers `bytes` under `name`, replacing an earlier registration of the name. The bytes are
// not copied: they must live as long as the program (a static array). Thread-safe.
void RegisterResource(std::string name, std::string_view bytes);
// Removes the registration of `name`, if any.
void UnregisterResource(const std::string& name);
// The bytes registered under `name` (exact name); none when nothing is.
std::optional<std::string_view> FindResource(const std::string& name);

}  // namespace vyn
