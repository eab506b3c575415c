#pragma once
// The browser control's own accelerator keys, which it acts on when the focus is in its page.
// The editing keys (Ctrl+C, X, V, A, Z, Y) are not among them: the engine runs them as editing
// commands of the page, so that pages that edit text see them first.

#include <Qt>

namespace vyn {

enum TBrowserAccelerator {
  baNone,
  baRefresh,    // F5
  baGoBack,     // Alt+Left
  baGoForward,  // Alt+Right
  baStop,       // Escape
  baFind,       // Ctrl+F
  baPrint,      // Ctrl+P
};

// The accelerator of `key` pressed with `modifiers` (keypad or not), or baNone.
TBrowserAccelerator BrowserAcceleratorOf(int key, Qt::KeyboardModifiers modifiers);

}  // namespace vyn
