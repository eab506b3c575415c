#pragma once
// The registry store: one text file per hive in the registry-export format, shared safely
// between processes. TRegistry gives the key/value operations the programs use.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vyn {

enum class THiveRoot { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

// Value types, numbered as on Windows so that hex(N) in export files keeps its meaning.
enum TRegDataType : uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_MULTI_SZ = 7,
};

// Raised with the French texts the programs show: "Type de données incorrect pour '%s'" and
// the like; also for a hive file that cannot be read or written (the message names the file).
class ERegistryException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct TRegValue {
  std::string Name;  // "" is the default value (@)
  uint32_t Type = REG_NONE;
  std::vector<uint8_t> Data;  // strings are stored as UTF-8 with their terminating zero
};

struct TRegKey {
  std::string Path;  // without the root, parts separated by '\'
  std::vector<TRegValue> Values;
};

// Folder of the hive files: $VYN_REGISTRY_DIR when set, else the XDG/etc default per hive.
std::string HiveFilePath(THiveRoot root);

// Access to one hive, Delphi-TRegistry style: open a key, work on its values, close it.
// Key paths use '\' and may start with one; names are matched without case.
class TRegistry {
public:
  explicit TRegistry(THiveRoot root = THiveRoot::HKEY_CURRENT_USER);

  THiveRoot RootKey;

  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  const std::string& CurrentPath() const { return FCurrentPath; }

  bool KeyExists(const std::string& key) const;
  bool CreateKey(const std::string& key);
  bool DeleteKey(const std::string& key);  // with its subkeys

  bool ValueExists(const std::string& name) const;
  bool DeleteValue(const std::string& name);
  std::vector<std::string> GetKeyNames() const;    // direct subkeys of the open key
  std::vector<std::string> GetValueNames() const;  // values of the open key
  uint32_t GetDataType(const std::string& name) const;  // REG_NONE when absent
  int GetDataSize(const std::string& name) const;       // -1 when absent

  // Typed reads raise ERegistryException on a wrong type or size; a missing value gives
  // an empty string / raises for integers (callers test ValueExists first).
  std::string ReadString(const std::string& name) const;  // REG_SZ or REG_EXPAND_SZ
  int32_t ReadInteger(const std::string& name) const;     // REG_DWORD, at most 4 bytes
  std::vector<uint8_t> ReadBinaryData(const std::string& name) const;  // REG_BINARY

  // Writes raise "Echec à la définition des données pour '%s'" when the store refuses them.
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBinaryData(const std::string& name, const std::vector<uint8_t>& value);

private:
  bool FReadOnly = false;
  std::string FCurrentPath;  // "" = no key open
  bool FKeyOpen = false;
};

// Export-file codec, exposed for tests and tools: parses UTF-8 or UTF-16LE (with BOM, CRLF)
// text; raises ERegistryException naming `sourceName` on anything it cannot read.
std::vector<TRegKey> ParseRegistryExport(const std::string& bytes, const std::string& sourceName);
std::string FormatRegistryExport(const std::vector<TRegKey>& keys, THiveRoot root);

}  // namespace vyn
