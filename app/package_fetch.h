#pragma once

#include "app/version_answer.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

#include <string>

class UpgradeSession;

// The package downloaded into packagePath and checked (app/package_check.h)
// before anything is installed. Bytes that an earlier run kept are taken up
// only when the check of the whole file will prove them: the answer gives a
// "PackageSha256", or a "PackageSignature" that a compiled-in key verifies.
// A continued package that fails the check is deleted and fetched once more
// from zero; a second failure fails.

// What the check of the whole file rests on, as recorded beside kept bytes;
// empty when nothing would prove them.
std::string ResumeProof(const PackageProof& proof, const unsigned char* publisherKey);

// The checked package, held open without write or delete sharing so that
// what was checked is what gets unpacked; empty after a failed download or
// check (or once the user left), and then no unchecked package is left.
SkinUI::FileHandle FetchCheckedPackage(const std::wstring& address, const std::wstring& packagePath,
                                       const PackageProof& proof, HWND window,
                                       UpgradeSession* session);
