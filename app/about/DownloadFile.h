#pragma once
// Fetching one address into a file, as the news viewer needs it.

#include <QString>

namespace vyn {

// The largest file DownloadFile takes: a control file is a few kilobytes.
inline constexpr long long LargestDownload = 16LL << 20;

// Fetches `URL` (HTTP, HTTPS or FTP, through the proxy of the internet options) into
// `FileName`; true when the whole body of a successful answer is there. The body is written to
// a new file beside `FileName` and renamed over it, so a name that is taken by a link is never
// followed: it is refused. A failure leaves no new file. Raises ERegistryException for a proxy
// setting of the wrong type.
bool DownloadFile(const QString& URL, const QString& FileName);

}  // namespace vyn
