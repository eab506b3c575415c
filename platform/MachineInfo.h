#pragma once
// Facts about the machine and the user for the about box; every source that fails gives "".

#include <string>

namespace vyn {

std::string OSProductName();    // PRETTY_NAME of /etc/os-release (else /usr/lib/os-release)
std::string ComputerName();     // host name without its domain, at most 15 characters
std::string FirstIPv4Address(); // first IPv4 address of the host name, dotted, "" if none
std::string UserName();
std::string DomainName();       // the account's domain (NIS/DNS domain of the host)
std::string WorkGroup();        // workgroup of the Samba configuration

// The sources behind OSProductName and WorkGroup, for a given file.
std::string PrettyNameOfOSRelease(const std::string& fileName);
std::string WorkGroupOfSambaConfig(const std::string& fileName);

}  // namespace vyn
