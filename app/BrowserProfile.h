#pragma once
// The web engine profile of the browser: cookies, cache and history kept on disk for the user.

class QWebEngineProfile;

namespace vyn {

// Created on first use, owned by the application object.
QWebEngineProfile* BrowserProfile();

}  // namespace vyn
