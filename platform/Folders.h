#pragma once
// Where things live on this platform: the executable, the temporary folder and the folders
// that stand in place of the Windows known folders.

#include <string>

namespace vyn {

std::string ExePath();           // full path of the running executable
std::string ExeDir();            // its folder, without trailing '/'
std::string ExeFileName();       // name and extension, no folder
std::string SystemTempDir();     // $TMPDIR, else /tmp; without trailing '/'
std::string DocumentsDir();      // XDG_DOCUMENTS_DIR from user-dirs.dirs, else ~/Documents
std::string LocalAppDataDir();   // $XDG_DATA_HOME, else ~/.local/share
std::string CommonAppDataDir();  // /var/lib
std::string WindowsDir();        // /usr
std::string SystemDir();         // /usr/lib
std::string ProgramFilesDir();   // $ProgramFiles, empty when unset
std::string CurrentDir();

// Every result can be followed by '/' and a name: a folder loses its trailing '/'s, the root
// becomes "/." and an empty folder "." (the current folder, as the placeholders need).
std::string NormalizeDirectory(const std::string& folder);

// A local path written for Windows: every '\' becomes '/'. Never used on addresses.
std::string ToLocalSeparators(const std::string& path);

std::string IncludeTrailingSlash(const std::string& folder);  // "" stays ""
bool FileExists(const std::string& path);  // anything but a folder
bool DirectoryExists(const std::string& path);
bool ForceDirectories(const std::string& path);  // with its parents; true when it exists
// The entry of `folder` whose name equals `name` without regard to case (ASCII letters); an
// exact match first, else the first such entry in byte order. Returns folder + '/' + the real
// name (just the name when `folder` is empty: the current folder), or "" when there is none.
// A `name` holding '/' is only matched exactly.
std::string FindFileNoCase(const std::string& folder, const std::string& name);

}  // namespace vyn
