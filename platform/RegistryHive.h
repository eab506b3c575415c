#pragma once
// One hive in memory: its keys in file order, found by name without regard to case.

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Registry.h"

namespace vyn {

class THive {
public:
  const std::vector<TRegKey>& Keys() const { return FKeys; }

  // Paths are without the root and already checked (no empty part).
  bool KeyExists(const std::string& path) const;  // created, or the parent of one; "" always
  std::vector<std::string> SubkeyNames(const std::string& path) const;
  const TRegValue* FindValue(const std::string& path, const std::string& name) const;
  const TRegKey* FindKey(const std::string& path) const;

  void AddKey(const std::string& path);  // nothing when it was created already
  bool DeleteKeyTree(const std::string& path);
  void SetValue(const std::string& path, TRegValue value);  // keeps a stored name's case
  bool DeleteValue(const std::string& path, const std::string& name);

private:
  size_t KeyIndex(const std::string& path);  // creates the key when missing
  void Reindex();

  std::vector<TRegKey> FKeys;
  std::map<std::string, size_t> FKeyIndex;  // folded path -> position in FKeys
  std::vector<std::unordered_map<std::string, size_t>> FValueIndex;  // per key: folded name
};

// Parses export text into a hive; errors name `sourceName` and the line.
THive ParseHive(const std::string& bytes, const std::string& sourceName, THiveRoot root);

}  // namespace vyn
