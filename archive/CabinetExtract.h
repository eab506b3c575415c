#pragma once
// Extraction of every file of a cabinet into a folder.

#include <string>

namespace vyn {

// Extracts the files of `cabinet` below `target` (the current folder when empty; made with its
// parents when missing), keeping the folders stored with each name ('\' separates), which are
// made as needed. Each file is written beside its place and renamed there when whole, with the
// cabinet's date and time as its last-write time (the present moment when it has none). A
// file that is not a cabinet, an unreadable one, a stored name that is absolute or holds "..",
// or a file that cannot be written or does not decode stops the extraction: nothing at all is
// written for a refused name, files already put in place stay. Extractions run one at a time.
// 0 when every file was extracted, else -1.
int ExtractCabinet(const std::string& cabinet, const std::string& target);

}  // namespace vyn
