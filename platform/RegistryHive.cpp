#include "platform/RegistryHive.h"

#include <unordered_set>

#include "platform/RegistryText.h"

namespace vyn {

using registry::FoldName;

namespace {

std::string ChildPrefix(const std::string& foldedPath) {
  return foldedPath.empty() ? std::string() : foldedPath + '\\';
}

// The `index`-th part of a '\'-separated path.
std::string PathPart(const std::string& path, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) start = path.find('\\', start) + 1;
  const size_t end = path.find('\\', start);
  return path.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

size_t PartCount(const std::string& path) {
  if (path.empty()) return 0;
  size_t count = 1;
  for (char c : path) count += (c == '\\');
  return count;
}

}  // namespace

bool THive::KeyExists(const std::string& path) const {
  if (path.empty()) return true;
  const std::string folded = FoldName(path);
  if (FKeyIndex.count(folded)) return true;
  const std::string prefix = ChildPrefix(folded);
  const auto it = FKeyIndex.lower_bound(prefix);
  return it != FKeyIndex.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> THive::SubkeyNames(const std::string& path) const {
  const std::string prefix = ChildPrefix(FoldName(path));
  const size_t depth = PartCount(path);
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (auto it = FKeyIndex.lower_bound(prefix);
       it != FKeyIndex.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.size() == prefix.size()) continue;  // the root's own section
    const std::string name = PathPart(FKeys[it->second].Path, depth);
    if (seen.insert(FoldName(name)).second) names.push_back(name);
  }
  return names;
}

const TRegKey* THive::FindKey(const std::string& path) const {
  const auto it = FKeyIndex.find(FoldName(path));
  return it == FKeyIndex.end() ? nullptr : &FKeys[it->second];
}

const TRegValue* THive::FindValue(const std::string& path, const std::string& name) const {
  const auto key = FKeyIndex.find(FoldName(path));
  if (key == FKeyIndex.end()) return nullptr;
  const auto& values = FValueIndex[key->second];
  const auto it = values.find(FoldName(name));
  return it == values.end() ? nullptr : &FKeys[key->second].Values[it->second];
}

size_t THive::KeyIndex(const std::string& path) {
  auto [it, added] = FKeyIndex.try_emplace(FoldName(path), FKeys.size());
  if (added) {
    FKeys.push_back(TRegKey{path, {}});
    FValueIndex.emplace_back();
  }
  return it->second;
}

void THive::AddKey(const std::string& path) { KeyIndex(path); }

bool THive::DeleteKeyTree(const std::string& path) {
  const std::string folded = FoldName(path);
  const std::string prefix = ChildPrefix(folded);
  const size_t before = FKeys.size();
  std::erase_if(FKeys, [&](const TRegKey& key) {
    const std::string name = FoldName(key.Path);
    return name == folded || name.compare(0, prefix.size(), prefix) == 0;
  });
  if (FKeys.size() == before) return false;
  Reindex();
  return true;
}

void THive::SetValue(const std::string& path, TRegValue value) {
  const size_t index = KeyIndex(path);
  auto [it, added] = FValueIndex[index].try_emplace(FoldName(value.Name), FKeys[index].Values.size());
  if (added) {
    FKeys[index].Values.push_back(std::move(value));
  } else {
    // A rewrite keeps the name's stored case, as the platform does.
    value.Name = FKeys[index].Values[it->second].Name;
    FKeys[index].Values[it->second] = std::move(value);
  }
}

bool THive::DeleteValue(const std::string& path, const std::string& name) {
  const auto key = FKeyIndex.find(FoldName(path));
  if (key == FKeyIndex.end()) return false;
  auto& index = FValueIndex[key->second];
  const auto it = index.find(FoldName(name));
  if (it == index.end()) return false;
  auto& values = FKeys[key->second].Values;
  values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
  index.clear();
  for (size_t i = 0; i < values.size(); ++i) index.emplace(FoldName(values[i].Name), i);
  return true;
}

void THive::Reindex() {
  FKeyIndex.clear();
  FValueIndex.assign(FKeys.size(), {});
  for (size_t k = 0; k < FKeys.size(); ++k) {
    FKeyIndex.emplace(FoldName(FKeys[k].Path), k);
    for (size_t v = 0; v < FKeys[k].Values.size(); ++v)
      FValueIndex[k].emplace(FoldName(FKeys[k].Values[v].Name), v);
  }
}

}  // namespace vyn
