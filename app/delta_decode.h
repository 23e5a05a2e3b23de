#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

// Turning one payload of a delta into a new file with libzstd. Each builds
// target (which must not exist yet) with exactly size bytes; false when the
// payload is not one well-formed frame of that size. What a failure leaves
// at target is the caller's to delete.

// A patch: the frame is decoded against base (the installed file, open for
// reading) as its reference prefix. Base and result are mapped, never read
// into the heap, and the result is decoded in one pass straight into its
// file, so the decoder keeps no window of its own.
bool ApplyPatch(HANDLE base, uint64_t baseSize, HANDLE delta, uint64_t payloadOffset,
                uint64_t payloadSize, const std::wstring& target, uint64_t size);

// A whole file: the frame is decoded on its own, streamed to target.
bool DecodeWhole(HANDLE delta, uint64_t payloadOffset, uint64_t payloadSize,
                 const std::wstring& target, uint64_t size);
