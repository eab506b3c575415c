#pragma once
// The registry store: one text file per hive in the registry-export format, shared safely
// between processes. TRegistry gives the key/value operations the programs use.

#include <cstdint>
#include <functional>
#include <memory>
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
  std::string Path;  // without the root, parts separated by '\'; "" is the root itself
  std::vector<TRegValue> Values;
};

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* HiveRootName(THiveRoot root);

// The hive file: in $VYN_REGISTRY_DIR when set, else $XDG_CONFIG_HOME/vynWebBrowser (default
// ~/.config/vynWebBrowser) for the current user and /etc/vynWebBrowser for the machine.
std::string HiveFilePath(THiveRoot root);

class THive;

// Access to one hive, Delphi-TRegistry style: open a key, work on its values, close it.
//
// Key paths use '\'. A path that starts with '\' counts from the root; any other path counts
// from the open key (from the root when none is open). A path with an empty part ("a\\b") or a
// control character names no key: opening, creating or testing it gives false. Key and value
// names are matched without case and keep the case they were created with. A key exists when
// it was created or when one of its subkeys exists.
//
// Every call sees the hive file as it is now (other processes may change it); every change is
// written to the file at once under the store's lock. A hive file that does not parse raises
// ERegistryException naming the file, on reads and writes alike, and is never overwritten.
// A hive file that is missing, or that this user may not read, reads as an empty hive.
class TRegistry {
public:
  explicit TRegistry(THiveRoot root = THiveRoot::HKEY_CURRENT_USER);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  THiveRoot RootKey;

  // False when the key is missing and !canCreate, or when creating it fails.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);  // writes on the key then raise
  void CloseKey();
  const std::string& CurrentPath() const { return FCurrentPath; }

  bool KeyExists(const std::string& key) const;
  bool CreateKey(const std::string& key);  // true when it exists afterwards
  bool DeleteKey(const std::string& key);  // with its subkeys; false when missing

  // Values of the open key; with no key open there are none and writes raise.
  bool ValueExists(const std::string& name) const;
  bool DeleteValue(const std::string& name);  // false when missing
  std::vector<std::string> GetKeyNames() const;    // direct subkeys of the open key
  std::vector<std::string> GetValueNames() const;  // values of the open key
  uint32_t GetDataType(const std::string& name) const;  // REG_NONE when absent
  int GetDataSize(const std::string& name) const;       // bytes, text as UTF-16; -1 when absent

  // ReadString: REG_SZ or REG_EXPAND_SZ, up to the first zero; "" when the value is absent.
  // ReadInteger: REG_DWORD of at most 4 bytes; an absent value raises
  //   "Echec à l'obtention des données pour '%s'", as does data longer than 4 bytes (of any type; text counts as UTF-16).
  // ReadBinaryData: REG_BINARY or any type other than strings and REG_DWORD; absent raises.
  // A value of a type the read does not accept raises "Type de données incorrect pour '%s'".
  std::string ReadString(const std::string& name) const;
  int32_t ReadInteger(const std::string& name) const;
  std::vector<uint8_t> ReadBinaryData(const std::string& name) const;

  // Writes raise "Echec à la définition des données pour '%s'" when the store refuses them:
  // no key open, key opened read-only, text that is not UTF-8, a name with a control character,
  // or a hive file that cannot be written.
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBinaryData(const std::string& name, const std::vector<uint8_t>& value);

private:
  const THive& Current() const;
  void Change(const std::function<bool(THive&)>& change);  // raises registry::EHiveWriteError
  const TRegValue* FindValue(const std::string& name) const;
  void WriteValue(const std::string& name, uint32_t type, std::vector<uint8_t> data);
  bool ResolvePath(const std::string& key, std::string& path) const;

  bool FReadOnly = false;
  std::string FCurrentPath;  // "" = no key open, or the root
  bool FKeyOpen = false;
  mutable std::shared_ptr<const THive> FCache;  // the hive file as last read or written
  mutable std::string FCacheStamp;              // identity of the file it came from
};

// Export-file codec, exposed for tests and tools. Parsing reads UTF-8 (with or without BOM) or
// UTF-16LE with BOM, LF or CRLF, under "Windows Registry Editor Version 5.00" or "REGEDIT4";
// every section must belong to `root`. Sections that delete ("[-...]", "=-") are refused.
// Raises ERegistryException naming `sourceName` and the line on anything it cannot read.
// Formatting writes version 5.00 text in UTF-8 with LF; strings that fit on one line are
// quoted, other strings, expandable strings and string lists are hex(N) of UTF-16LE.
std::vector<TRegKey> ParseRegistryExport(const std::string& bytes, const std::string& sourceName,
                                         THiveRoot root);
std::string FormatRegistryExport(const std::vector<TRegKey>& keys, THiveRoot root);

}  // namespace vyn
