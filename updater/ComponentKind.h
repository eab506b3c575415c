#pragma once
// What a component is, told by its name.

#include <string>

namespace vyn {

enum class TComponentKind {
  ckSuffixedCopy,    // ends with "_NEW": copied over the file without the suffix
  ckComponentList,   // ".INF": names further components and their target folders
  ckPatch,           // ".PAT": applied by the patch tool
  ckCabinet,         // ".CAB": extracted
  ckProgram,         // ".EXE": run
  ckLZFile,          // anything else: SZDD-expanded
};

// Tested in this order, case ignored; the first match decides.
TComponentKind ComponentKind(const std::string& name);

// A component is a plain name in the staging folder: not empty, not ".", no '/' (a '\' counts
// as one), no "..", and a suffixed copy names a file before its suffix.
bool IsAcceptableComponentName(const std::string& name);

}  // namespace vyn
