#include "platform/Folders.h"
#include "platform/Registry.h"
#include "update/control/DateTime.h"
#include "update/VudIvazoz.h"

#include <sys/stat.h>

#include <charconv>

namespace vyn {
namespace {

THiveRoot StoreRoot(const TLastURLEntry& entry) {
  return entry.RegRoot == lurLOCALMACHINE ? THiveRoot::HKEY_LOCAL_MACHINE
                                          : THiveRoot::HKEY_CURRENT_USER;
}

std::string StoreKey(const TLastURLEntry& entry) {
  std::string key = entry.Key;
  if (!key.empty() && key.back() != '\\') key += '\\';
  return key + entry.Section;
}

// Opens (creating when missing) the key of the date and address store.
bool OpenStore(TRegistry& reg, const TLastURLEntry& entry) {
  reg.RootKey = StoreRoot(entry);
  return reg.OpenKey(StoreKey(entry), true);
}

std::string ReadStoredText(const TRegistry& reg, const std::string& name) {
  return reg.ValueExists(name) ? reg.ReadString(name) : std::string();
}

constexpr char KSignedTimeValue[] = "LastSignedTime";

// The key that holds the last trusted timestamp, with `reg` set to its hive: the date store's
// when it is configured, else one of the current user's for the signing key.
std::string SignedTimeKey(TRegistry& reg, const TLastURLEntry& entry, const std::string& keyId) {
  if (entry.Key.empty() || entry.Section.empty()) {
    reg.RootKey = THiveRoot::HKEY_CURRENT_USER;
    return "Software\\TVudIvazoz\\SignedControlFiles\\" + keyId;
  }
  reg.RootKey = StoreRoot(entry);
  return StoreKey(entry);
}

}  // namespace

TDateTime TVudIvazoz::UpdateDateGet() {
  TDateTime result = KFallbackDate;
  if (!LastURLEntry.Key.empty() && !LastURLEntry.Section.empty()) {
    try {
      TRegistry reg;
      if (OpenStore(reg, LastURLEntry)) {
        const std::string date = ReadStoredText(reg, "LastDate");
        const std::string time = ReadStoredText(reg, "LastTime");
        TDateTime value = 0;
        if (date.empty() || TryParseDate(date, "dd/mm/yyyy", '/', value)) {
          if (!date.empty()) result = value;
          if (!time.empty() && TryParseTime(time, ':', value)) result += value;
        }
      }
    } catch (const ERegistryException&) {
      // An unreadable store reads as never written.
    }
    FSaveUpdate = true;
  } else if (!FLocalFileDateCheck.empty()) {
    struct stat st {};
    if (::stat(FLocalFileDateCheck.c_str(), &st) == 0) result = FileTimeToDateTime(st.st_mtime);
  }
  return result;
}

void TVudIvazoz::UpdateDatePut(TDateTime dt) {
  if (LastURLEntry.Key.empty() || LastURLEntry.Section.empty() || !LastURLEntry.Save) return;
  try {
    TRegistry reg;
    if (!OpenStore(reg, LastURLEntry)) return;
    reg.WriteString("LastDate", FormatShortDate(dt));
    const TDateParts parts = DecodeDateTime(dt);
    if (parts.Hour != 0 || parts.Minute != 0 || parts.Second != 0)
      reg.WriteString("LastTime", FormatLongTime(dt));
    else
      reg.DeleteValue("LastTime");  // an older time would put the stored moment after dt
  } catch (const ERegistryException&) {
    // The update is done: a store that cannot be written does not undo it.
  }
}

std::string TVudIvazoz::URLGet() {
  if (LastURLEntry.Key.empty() || LastURLEntry.Section.empty() || !LastURLEntry.Save) return "";
  try {
    TRegistry reg;
    return OpenStore(reg, LastURLEntry) ? ReadStoredText(reg, "LastURL") : std::string();
  } catch (const ERegistryException&) {
    return "";
  }
}

void TVudIvazoz::URLPut(const std::string& url) {
  if (LastURLEntry.Key.empty() || LastURLEntry.Section.empty() || !LastURLEntry.Save) return;
  try {
    TRegistry reg;
    if (OpenStore(reg, LastURLEntry)) reg.WriteString("LastURL", url);
  } catch (const ERegistryException&) {
    // The next run then reads the control file from URL again.
  }
}

std::optional<long long> TVudIvazoz::LastSignedTimeGet(const std::string& keyId) {
  try {
    TRegistry reg;
    const std::string key = SignedTimeKey(reg, LastURLEntry, keyId);
    if (!reg.OpenKeyReadOnly(key)) return 0;
    const std::string text = ReadStoredText(reg, KSignedTimeValue);
    if (text.empty()) return 0;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
  } catch (const ERegistryException&) {
    return std::nullopt;
  }
}

bool TVudIvazoz::LastSignedTimePut(const std::string& keyId, long long value) {
  try {
    TRegistry reg;
    const std::string key = SignedTimeKey(reg, LastURLEntry, keyId);
    if (!reg.OpenKey(key, true)) return false;
    reg.WriteString(KSignedTimeValue, std::to_string(value));
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

}  // namespace vyn
