#pragma once
// The documentation page of each tab of the feature-control editor.

#include <QString>

namespace vyn {

// Scheme and host of the platform vendor's online documentation library.
inline constexpr const char* DocumentationLibrary = "https://msdn.microsoft.com";

int FeatureHelpPage(int tabIndex);          // unknown tabs give the page of "Purpose"
QString FeatureHelpAddress(int tabIndex);

}  // namespace vyn
