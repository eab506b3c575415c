#include "platform/Resources.h"

#include <map>
#include <mutex>

namespace vyn {

namespace {
struct TResourceTable {
  std::mutex Lock;
  std::map<std::string, std::string_view, std::less<>> Entries;
};

TResourceTable& Table() {
  static TResourceTable table;
  return table;
}
}  // namespace

void RegisterResource(std::string name, std::string_view bytes) {
  TResourceTable& table = Table();
  std::lock_guard<std::mutex> guard(table.Lock);
  table.Entries.insert_or_assign(std::move(name), bytes);
}

void UnregisterResource(const std::string& name) {
  TResourceTable& table = Table();
  std::lock_guard<std::mutex> guard(table.Lock);
  table.Entries.erase(name);
}

std::optional<std::string_view> FindResource(const std::string& name) {
  TResourceTable& table = Table();
  std::lock_guard<std::mutex> guard(table.Lock);
  const auto it = table.Entries.find(name);
  if (it == table.Entries.end()) return std::nullopt;
  return it->second;
}

}  // namespace vyn
