#include "app/BrowserAccelerators.h"

namespace vyn {

TBrowserAccelerator BrowserAcceleratorOf(int key, Qt::KeyboardModifiers modifiers) {
  struct TBinding {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    TBrowserAccelerator Accelerator;
  };
  static const TBinding bindings[] = {
      {Qt::Key_F5, Qt::NoModifier, baRefresh},      {Qt::Key_Left, Qt::AltModifier, baGoBack},
      {Qt::Key_Right, Qt::AltModifier, baGoForward}, {Qt::Key_Escape, Qt::NoModifier, baStop},
      {Qt::Key_F, Qt::ControlModifier, baFind},      {Qt::Key_P, Qt::ControlModifier, baPrint},
  };
  modifiers &= ~Qt::KeypadModifier;
  for (const TBinding& binding : bindings)
    if (binding.Key == key && binding.Modifiers == modifiers) return binding.Accelerator;
  return baNone;
}

}  // namespace vyn
