#pragma once
// The hive files: lock-free reads, and changes made under an advisory lock by re-reading the
// file, changing it and renaming a flushed temporary file over it.

#include <functional>
#include <memory>
#include <string>

#include "platform/Registry.h"
#include "platform/RegistryHive.h"

namespace vyn::registry {

// The store could not write the hive file (folder, lock, permissions, disk).
class EHiveWriteError : public ERegistryException {
public:
  using ERegistryException::ERegistryException;
};

struct THiveSnapshot {
  std::shared_ptr<const THive> Hive;
  std::string Stamp;  // identity of the file it came from; "" when there is none
};

// Cheap identity of the hive file as it is now: equal stamps mean equal contents, because the
// file is only ever replaced, never changed in place.
std::string HiveFileStamp(THiveRoot root);

// The hive as it is now; missing or unreadable (no permission) reads as empty. Raises
// ERegistryException naming the file when it does not parse.
THiveSnapshot ReadHiveFile(THiveRoot root);

// Applies `change` to the hive as it is now and stores the result; `change` returns false when
// it changed nothing, and then nothing is written. Raises EHiveWriteError when the file cannot
// be written and ERegistryException when the present file does not parse (it is left alone).
THiveSnapshot UpdateHiveFile(THiveRoot root, const std::function<bool(THive&)>& change);

}  // namespace vyn::registry
