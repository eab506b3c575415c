#pragma once
// The feature-control switches of this executable that mean something to the web engine,
// read once at start-up from HKCU "SOFTWARE\Microsoft\Internet Explorer\Main\FeatureControl".
// A switch not set leaves the engine's default.

#include <QString>

#include <optional>

namespace vyn {

struct TFeatureSwitches {
  std::optional<bool> PopupManagement;          // FEATURE_WEBOC_POPUPMANAGEMENT: block popups
  std::optional<bool> SpellChecking;            // FEATURE_SPELLCHECKING
  std::optional<bool> GpuRendering;             // FEATURE_GPU_RENDERING
  std::optional<bool> LocalMachineLockdown;     // FEATURE_LOCALMACHINE_LOCKDOWN
  std::optional<bool> BlockLocalScript;         // FEATURE_BLOCK_LMZ_SCRIPT
  std::optional<bool> UserNamePasswordDisable;  // FEATURE_HTTP_USERNAME_PASSWORD_DISABLE
  std::optional<bool> DomStorage;               // FEATURE_DOMSTORAGE

  // Scripts of pages from this computer do not run.
  bool BlocksLocalScripts() const {
    return LocalMachineLockdown.value_or(false) || BlockLocalScript.value_or(false);
  }
};

// Reads the switches stored under the value named `executableName`; a value of another type
// than a 32-bit integer is taken as not set, and a store that cannot be read sets none.
TFeatureSwitches ReadFeatureSwitches(const QString& executableName);

// Switches that must reach the engine before its first object exists (Chromium flags).
void ApplyEngineStartSwitches(const TFeatureSwitches& switches);

}  // namespace vyn
