#pragma once
// The files of one update: what the control file says of each, and the list that holds them in
// control-file order.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vyn {

class TFileDescription {
public:
  bool Compressed = false;
  int32_t NewCheckSum = -1;  // -1: none
  int32_t NewSize = 0;       // 0: none
  std::string URL;
  std::string TargetDir;  // with a trailing '/' when not empty
  std::string LocalVersion;
  std::string NewVersion;
  std::string Description;
  std::string NewCustomVer;
  int32_t FileSize = 0;
  std::string NewDate;
  std::string NewTime;
  bool Mandatory = false;
  bool Preselect = true;
  bool Hidden = false;
  bool Selected = false;
  // The hex SHA-256 the file must have as fetched; empty = none given.
  std::string Sha256;
};

class TFileList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // Position 0 to Count() - 1.
  TFileDescription& Items(int index) { return *FItems.at(static_cast<size_t>(index)); }
  const TFileDescription& Items(int index) const { return *FItems.at(static_cast<size_t>(index)); }

  TFileDescription& Add();
  // A new item at `index` (0 to Count()); the ones from there move up.
  TFileDescription& Insert(int index);
  // Frees the item; the ones after it move down.
  void Delete(int index);
  void Clear() { FItems.clear(); }

  // The position of the file being fetched.
  int ActiveItem = 0;

  // Sums of FileSize: over every item, and over the items before ActiveItem.
  int64_t TotalSize() const;
  int64_t CompletedSize() const;

private:
  std::vector<std::unique_ptr<TFileDescription>> FItems;
};

}  // namespace vyn
