#pragma once

#include "app/package_proof.h"

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

// The delta file ("KDELTA1"): what turns one installed release into the
// next. All numbers are little-endian.
//
//   "KDELTA1\0"                      8 bytes
//   entry count                      u32
//   entries, each:
//     kind                           u8: 1 keep, 2 patch, 3 whole, 4 remove
//     name length, name              u16, UTF-8 bytes, "/" between folders
//     keep, patch, whole:            u64 size, 32 bytes SHA-256 of the new file
//     patch:                         u64 size, 32 bytes SHA-256 of the installed base
//     patch, whole:                  u64 payload size
//   payloads, in entry order, ending exactly at the end of the file
//
// A patch payload is one Zstandard frame made against the installed file as
// its reference prefix (zstd --patch-from); a whole payload is one frame of
// the new file alone. Keep names an unchanged file of the new release,
// remove an installed file it no longer has.

enum class DeltaEntryKind : uint8_t { Keep = 1, Patch = 2, Whole = 3, Remove = 4 };

struct DeltaEntry {
    DeltaEntryKind kind = DeltaEntryKind::Keep;
    std::wstring name;  // relative, with "\" between folders
    uint64_t size = 0;
    unsigned char sha256[kSha256Bytes] = {};
    uint64_t baseSize = 0;
    unsigned char baseSha256[kSha256Bytes] = {};
    uint64_t payloadOffset = 0;
    uint64_t payloadSize = 0;
};

enum class DeltaManifestResult { Ok, Unreadable, TooLarge, Malformed, UnsafeName };

// Larger deltas are refused before they are read: a release that changed
// that much travels as the full package.
constexpr uint64_t kMaxDeltaBytes = uint64_t(1) << 30;
// A patch maps its base and its result whole: larger files travel whole,
// streamed through a window of their own.
constexpr uint64_t kMaxDeltaFileBytes = uint64_t(256) << 20;

// Reads the manifest of the delta open in file. Every name must be a safe
// relative name (app/safe_path.h) and appear once; sizes, kinds and
// payloads must add up to the file exactly.
DeltaManifestResult ReadDeltaManifest(HANDLE file, std::vector<DeltaEntry>& entries);
