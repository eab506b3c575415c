#pragma once
// How the registry store compares key and value names.

#include <string>
#include <string_view>

namespace vyn::registry {

// The form in which names are compared: simple lower case of the Latin, Greek and Cyrillic
// letters; other bytes unchanged.
std::string FoldName(std::string_view name);

}  // namespace vyn::registry
