#pragma once
// The engine's numbered message table (909 to 979, and 18 for a started program) and its
// formatting.

#include <string>

namespace vyn {

// The table text of `id`; "" for a number without a text (908 among them).
const std::string& MessageText(int id);
// The text with its "%s" replaced by `argument`; a text without "%s" ignores the argument.
std::string FormatMessage(int id, const std::string& argument);

}  // namespace vyn
