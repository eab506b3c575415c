#pragma once
// The entries of a component list (".INF"): [FILES] COUNT, FILEn and TARGETn.

#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace vyn {

struct TComponentListEntry {
  int Number = 0;      // the n of FILEn
  std::string File;    // as written
  std::string Target;  // as written, placeholders not yet expanded
};

// The entries from 1 to COUNT whose FILEn key is present, in the order of n, each value read
// through the updater's 128-character buffer. Numbers without a FILEn key would only name
// nothing, so a COUNT of two thousand million costs no more than the keys written.
std::vector<TComponentListEntry> ReadComponentList(const TIniFile& list);

}  // namespace vyn
