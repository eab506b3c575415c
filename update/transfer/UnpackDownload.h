#pragma once
// Unpacking a file right after its transfer, when the caller asks for it: a cabinet is
// extracted into its folder, any other file is expanded when it is LZ-compressed.

#include <string>

namespace vyn {

class TVudIvazoz;

// `announce` writes message 965 before a cabinet is extracted. A cabinet is deleted once it
// has been extracted, unless the engine keeps intermediate files; one that fails keeps its
// data and gives message 947.
void UnpackDownload(TVudIvazoz& engine, const std::string& file, bool announce);

}  // namespace vyn
