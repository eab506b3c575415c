#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vyn {

class TVudIvazoz;

// Fetches `url` into the staging folder, reads it whole and deletes it; none when the fetch
// failed or the file cannot be read.
std::optional<std::string> DownloadStream(TVudIvazoz& engine, const std::string& url);
// The same as lines of UTF-8 text.
std::optional<std::vector<std::string>> DownloadTextFile(TVudIvazoz& engine,
                                                         const std::string& url);

}  // namespace vyn
