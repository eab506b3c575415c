#include "platform/Registry.h"

#include <string_view>

#include "platform/RegistryHive.h"
#include "platform/RegistryStore.h"
#include "platform/TextEncoding.h"

namespace vyn {

using registry::EHiveWriteError;

namespace {

[[noreturn]] void RaiseWrongType(const std::string& name) {
  throw ERegistryException("Type de données incorrect pour '" + name + "'");
}

[[noreturn]] void RaiseGetFailed(const std::string& name) {
  throw ERegistryException("Echec à l'obtention des données pour '" + name + "'");
}

[[noreturn]] void RaiseSetFailed(const std::string& name) {
  throw ERegistryException("Echec à la définition des données pour '" + name + "'");
}

// A name the export format can hold on one line.
bool IsStorableName(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return IsValidUtf8(name);
}

// Size of the data as the platform keeps it: text types hold UTF-16 there, UTF-8 here, and the
// integer read tells "does not fit" from "wrong type" by that size.
size_t StoredSize(const TRegValue& value) {
  if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ && value.Type != REG_MULTI_SZ) return value.Data.size();
  const std::string_view text(reinterpret_cast<const char*>(value.Data.data()), value.Data.size());
  return Utf8ToUtf16Le(text).size();
}

std::vector<uint8_t> TextData(const std::string& name, const std::string& text) {
  if (!IsValidUtf8(text)) RaiseSetFailed(name);
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

}  // namespace

TRegistry::TRegistry(THiveRoot root) : RootKey(root) {}

TRegistry::~TRegistry() = default;

const THive& TRegistry::Current() const {
  const std::string stamp = registry::HiveFileStamp(RootKey);
  if (!FCache || stamp.empty() || stamp != FCacheStamp) {
    registry::THiveSnapshot snapshot = registry::ReadHiveFile(RootKey);
    FCache = std::move(snapshot.Hive);
    FCacheStamp = std::move(snapshot.Stamp);
  }
  return *FCache;
}

void TRegistry::Change(const std::function<bool(THive&)>& change) {
  registry::THiveSnapshot snapshot = registry::UpdateHiveFile(RootKey, change);
  FCache = std::move(snapshot.Hive);
  FCacheStamp = std::move(snapshot.Stamp);
}

bool TRegistry::ResolvePath(const std::string& key, std::string& path) const {
  std::string_view rest(key);
  const bool absolute = !rest.empty() && rest.front() == '\\';
  if (absolute) rest.remove_prefix(1);
  if (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
  if (!IsStorableName(rest)) return false;
  if (!rest.empty() && (rest.front() == '\\' || rest.back() == '\\' || rest.find("\\\\") != std::string_view::npos))
    return false;
  const std::string base = (absolute || !FKeyOpen) ? std::string() : FCurrentPath;
  if (base.empty())
    path = rest;
  else if (rest.empty())
    path = base;
  else
    path = base + '\\' + std::string(rest);
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path;
  if (!ResolvePath(key, path)) return false;
  if (!Current().KeyExists(path)) {
    if (!canCreate || !CreateKey('\\' + path)) return false;
  }
  FCurrentPath = path;
  FKeyOpen = true;
  FReadOnly = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  std::string path;
  if (!ResolvePath(key, path) || !Current().KeyExists(path)) return false;
  FCurrentPath = path;
  FKeyOpen = true;
  FReadOnly = true;
  return true;
}

void TRegistry::CloseKey() {
  FCurrentPath.clear();
  FKeyOpen = false;
  FReadOnly = false;
}

bool TRegistry::KeyExists(const std::string& key) const {
  std::string path;
  return ResolvePath(key, path) && Current().KeyExists(path);
}

bool TRegistry::CreateKey(const std::string& key) {
  std::string path;
  if (!ResolvePath(key, path)) return false;
  if (Current().KeyExists(path)) return true;
  try {
    Change([&](THive& hive) {
      if (hive.KeyExists(path)) return false;
      hive.AddKey(path);
      return true;
    });
  } catch (const EHiveWriteError&) {
    return false;
  }
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path;
  if (!ResolvePath(key, path) || path.empty()) return false;
  bool deleted = false;
  try {
    Change([&](THive& hive) {
      deleted = hive.DeleteKeyTree(path);
      return deleted;
    });
  } catch (const EHiveWriteError&) {
    return false;
  }
  return deleted;
}

const TRegValue* TRegistry::FindValue(const std::string& name) const {
  return FKeyOpen ? Current().FindValue(FCurrentPath, name) : nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const { return FindValue(name) != nullptr; }

bool TRegistry::DeleteValue(const std::string& name) {
  if (!FKeyOpen || FReadOnly) return false;
  bool deleted = false;
  try {
    Change([&](THive& hive) {
      deleted = hive.DeleteValue(FCurrentPath, name);
      return deleted;
    });
  } catch (const EHiveWriteError&) {
    return false;
  }
  return deleted;
}

std::vector<std::string> TRegistry::GetKeyNames() const {
  return FKeyOpen ? Current().SubkeyNames(FCurrentPath) : std::vector<std::string>();
}

std::vector<std::string> TRegistry::GetValueNames() const {
  std::vector<std::string> names;
  const TRegKey* key = FKeyOpen ? Current().FindKey(FCurrentPath) : nullptr;
  if (key)
    for (const TRegValue& value : key->Values) names.push_back(value.Name);
  return names;
}

uint32_t TRegistry::GetDataType(const std::string& name) const {
  const TRegValue* value = FindValue(name);
  return value ? value->Type : REG_NONE;
}

int TRegistry::GetDataSize(const std::string& name) const {
  const TRegValue* value = FindValue(name);
  return value ? static_cast<int>(StoredSize(*value)) : -1;
}

std::string TRegistry::ReadString(const std::string& name) const {
  const TRegValue* value = FindValue(name);
  if (!value) return {};
  if (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ) RaiseWrongType(name);
  const std::string text(value->Data.begin(), value->Data.end());
  return text.substr(0, text.find('\0'));
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
  const TRegValue* value = FindValue(name);
  if (!value || StoredSize(*value) > 4) RaiseGetFailed(name);
  if (value->Type != REG_DWORD) RaiseWrongType(name);
  uint32_t number = 0;
  for (size_t i = 0; i < value->Data.size(); ++i) number |= static_cast<uint32_t>(value->Data[i]) << (8 * i);
  return static_cast<int32_t>(number);
}

std::vector<uint8_t> TRegistry::ReadBinaryData(const std::string& name) const {
  const TRegValue* value = FindValue(name);
  if (!value) RaiseGetFailed(name);
  if (value->Type == REG_SZ || value->Type == REG_EXPAND_SZ || value->Type == REG_DWORD) RaiseWrongType(name);
  return value->Data;
}

void TRegistry::WriteValue(const std::string& name, uint32_t type, std::vector<uint8_t> data) {
  if (!FKeyOpen || FReadOnly || !IsStorableName(name)) RaiseSetFailed(name);
  try {
    Change([&](THive& hive) {
      const TRegValue* old = hive.FindValue(FCurrentPath, name);
      if (old && old->Type == type && old->Data == data) return false;
      hive.SetValue(FCurrentPath, TRegValue{name, type, data});
      return true;
    });
  } catch (const EHiveWriteError&) {
    RaiseSetFailed(name);
  }
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  WriteValue(name, REG_SZ, TextData(name, value));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteValue(name, REG_EXPAND_SZ, TextData(name, value));
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  WriteValue(name, REG_DWORD,
             {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
              static_cast<uint8_t>(bits >> 24)});
}

void TRegistry::WriteBinaryData(const std::string& name, const std::vector<uint8_t>& value) {
  WriteValue(name, REG_BINARY, value);
}

}  // namespace vyn
