#pragma once

#include <string_view>
#include <vector>

// Decoding of the texts that vouch for an upgrade package: its SHA-256 in
// hexadecimal and the publisher's ECDSA P-256 signature, base64 of DER.
// Every decoder is strict: one spelling of a value is accepted, anything
// else is refused, so a text that passes means exactly one thing.

constexpr size_t kSha256Bytes = 32;
// A P-256 signature as the platform verifies it: r and s, 32 bytes each, big-endian.
constexpr size_t kRawSignatureBytes = 64;

// Exactly 64 hexadecimal digits, either case.
bool DecodeSha256Hex(std::string_view text, unsigned char (&digest)[kSha256Bytes]);

// Standard base64 with its padding, no white space, unused bits zero.
bool DecodeBase64(std::string_view text, std::vector<unsigned char>& bytes);

// SEQUENCE { INTEGER r, INTEGER s } in DER: definite minimal lengths,
// positive minimal integers of at most 32 bytes, not zero, nothing after.
bool DerSignatureToRaw(std::string_view der, unsigned char (&raw)[kRawSignatureBytes]);
