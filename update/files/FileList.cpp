#include "update/files/FileList.h"

#include <stdexcept>

namespace vyn {

TFileDescription& TFileList::Add() {
  FItems.push_back(std::make_unique<TFileDescription>());
  return *FItems.back();
}

TFileDescription& TFileList::Insert(int index) {
  if (index < 0 || index > Count()) throw std::out_of_range("List index out of bounds");
  return **FItems.insert(FItems.begin() + index, std::make_unique<TFileDescription>());
}

void TFileList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  FItems.erase(FItems.begin() + index);
}

int64_t TFileList::TotalSize() const {
  int64_t total = 0;
  for (const auto& item : FItems) total += item->FileSize;
  return total;
}

int64_t TFileList::CompletedSize() const {
  int64_t total = 0;
  for (int i = 0; i < ActiveItem && i < Count(); ++i) total += FItems[static_cast<size_t>(i)]->FileSize;
  return total;
}

}  // namespace vyn
