#pragma once
// What the program sets up before and right after the application object exists.

#include <QFont>

namespace vyn {

// Environment of the web engine, read before its first object: no sandbox as root (Chromium
// refuses to start otherwise) and the proxy of the internet options. Raises ERegistryException
// for a proxy value of the wrong type; a store that cannot be read gives no proxy.
void PrepareWebEngineEnvironment();

// The free Tahoma of the wine fonts, when installed, and the main font (Tahoma, 11 pixels).
void RegisterFonts();

// The font every window is laid out for: Tahoma, 11 pixels.
QFont MainFont();

}  // namespace vyn
