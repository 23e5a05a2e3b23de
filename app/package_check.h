#pragma once

#include "app/package_proof.h"
#include "app/version_answer.h"

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <string>

// The check of a downloaded package before anything is set aside, with the
// platform's own cryptography (CNG):
// - with a publisher key, the package must carry a signature over its
//   SHA-256 that verifies under the key; a missing, malformed or wrong one
//   fails the check;
// - a "PackageSha256" that the answer gives must match, key or no key; a
//   malformed one fails the check.
// Without a key and without a hash every package passes, as before.

// The downloaded file, held without write or delete sharing from its check
// to the end of its installation, so that what was checked is what gets
// installed.
SkinUI::FileHandle OpenDownloadedForCheck(const std::wstring& path);

// Reads the package through file from its start. publisherKey is the point
// X then Y (kPackageKeyBytes), or null.
bool PackageIsGenuine(HANDLE file, const PackageProof& proof, const unsigned char* publisherKey);

// SHA-256 of everything file holds, read from its start.
bool HashFile(HANDLE file, unsigned char (&digest)[kSha256Bytes]);

// True when raw (r then s) is a signature of digest under the P-256 point.
bool SignatureVerifies(const unsigned char* publisherKey, const unsigned char (&digest)[kSha256Bytes],
                       const unsigned char (&raw)[kRawSignatureBytes]);
