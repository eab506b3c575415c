#pragma once
// The feature switches the editor shows, in dialog order, with their tab and kind of control.

#include <array>
#include <span>

namespace vyn {

// The key of a feature switch of the current user is this prefix and the feature's name.
inline constexpr const char* FeatureKeyPrefix =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\";

enum TFeatureKind {
  fkThreeState,  // check box: checked 1, unchecked 0, grey not set
  fkList,        // drop-down list of fixed numbers; its default stands for not set
  fkNumber,      // edited number; its default stands for not set
};

// Tabs of the editor, in order; the feature tabs follow "Purpose".
inline constexpr std::array<const char*, 10> FeatureTabCaptions = {
    "Purpose", "A", "B .. C", "D .. H", "I .. L", "M .. R", "S .. T", "U .. Y", "Z", "Obsolete"};
inline constexpr std::array<const char*, 10> FeatureTabNames = {
    "tshPurpose", "tshA", "tshBC", "tshDH", "tshIL", "tshMR", "tshST", "tshUY", "tshZ", "tshObsolete"};

struct TFeatureDefinition {
  int Tab;              // index into FeatureTabCaptions
  const char* Key;      // FEATURE_... subkey
  const char* Caption;  // box caption, or the label beside a list or number
  TFeatureKind Kind = fkThreeState;
  const char* Default = "";  // list and number: the text that means "not set"
  bool Enabled = true;       // disabled boxes show their state but are never written
  bool DigitsOnly = false;   // number: only digits may be typed, with up-down arrows
  int UpDownMin = 0;
  int UpDownMax = 0;
};

// Items of the browser-emulation list; the first is its default.
inline constexpr std::array<const char*, 9> BrowserEmulationItems = {
    "11001", "11000", "10001", "10000", "9999", "9000", "8888", "8000", "7000"};

std::span<const TFeatureDefinition> FeatureDefinitions();

}  // namespace vyn
