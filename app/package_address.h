#pragma once

#include <string>

// Where an upgrade package may come from. Kestrel installs what it downloads
// with administrator rights, so the package must reach it over a connection
// whose server is authenticated and whose bytes nobody on the way can swap:
// https to a named host. Plain http, file addresses, local and UNC paths
// (which would also make Windows offer the account's credentials to the
// host over SMB) are refused.

// True for "https://" (any case) followed by a host name of letters, digits,
// "-", "_" and ".", an optional ":port" of digits, and then nothing or a
// "/", "?" or "#". User names, percent escapes, backslashes and bracketed
// addresses in the authority are refused: what is not plainly a host name
// could be read otherwise by the downloader.
bool IsHttpsPackageAddress(const std::wstring& address);
