#pragma once
// The program's own resources (the control's home and search pages) live in a static
// library, so they must be registered before their first use.

namespace vyn {

void EnsureAppResources();

}  // namespace vyn
