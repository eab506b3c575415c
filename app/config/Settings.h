#pragma once
// Where and how the settings record lives in the registry store: one key per executable file
// name under the maker's vendor key, fifteen values.

#include "app/config/Config.h"
#include "platform/Registry.h"

#include <QString>

#include <array>

class QWidget;

namespace vyn {

// The host name of the maker's web site, used as the vendor key.
inline constexpr char VendorKey[] = "www.vynsoft.example";
// The home page written at the first start.
inline constexpr char FirstRunHomePage[] = "https://www.vynsoft.example/";

// "Software\<vendor>\WebBrowser" immediately followed by the executable's file name.
QString BuildRegPath(const QString& executablePath);

// The registry store cannot be read at all; the text names its file.
class ESettingsUnreadable : public ERegistryException {
public:
  using ERegistryException::ERegistryException;
};

// Fills `config` from the key; when the key is missing, sets the first-run values and saves
// them. A value of the wrong type raises ERegistryException and ends the load there. A store
// that cannot be read leaves every button shown and the control's own home page, writes
// nothing and raises ESettingsUnreadable.
void LoadConfig(const QString& regPath, tyConfig& config);

// Writes the home page and the fourteen flags (0 or 1); silent when the key cannot be opened.
void SaveConfig(const QString& regPath, const tyConfig& config);

// A toolbar command button and the spacer after it (none for the last one).
struct TToolbarSlot {
  QWidget* Button = nullptr;
  QWidget* Spacer = nullptr;
};

// Shows the buttons whose flag is set, hides the others; each spacer follows its button.
void ApplyButtonVisibility(const tyConfig& config, const std::array<TToolbarSlot, 14>& toolbar);

}  // namespace vyn
