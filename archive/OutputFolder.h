#pragma once
// A folder held open by descriptor. Names below it are looked up one step at a time and never
// through a link, so a link planted inside it cannot send a write elsewhere.

#include <optional>
#include <string>

namespace vyn::archive {

class TOutputFolder {
public:
  // Opens `path` ("" is the current folder), first creating it with its parents when `create`.
  static std::optional<TOutputFolder> Open(const std::string& path, bool create);

  TOutputFolder(TOutputFolder&& other) noexcept;
  TOutputFolder& operator=(TOutputFolder&& other) noexcept;
  ~TOutputFolder();

  // The sub-folder `name` (matched without regard to case), made when missing; nothing when
  // that name is a link or anything else but a folder.
  std::optional<TOutputFolder> Enter(const std::string& name) const;

  // The entry that stands for `name` where Windows would find it: an exact match, else the
  // first entry in byte order that matches without regard to case (ASCII letters), else `name`.
  std::string Resolve(const std::string& name) const;

  int Handle() const { return FHandle; }

private:
  explicit TOutputFolder(int handle) : FHandle(handle) {}
  int FHandle = -1;
};

}  // namespace vyn::archive
