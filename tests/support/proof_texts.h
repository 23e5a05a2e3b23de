#pragma once

#include <string>
#include <string_view>

// Spelling package proofs by hand: hexadecimal, base64 and the DER of an
// ECDSA signature, so that tests can respell a signature or break it.
namespace testing_support {

std::string ToHex(std::string_view bytes);
// Pairs of hexadecimal digits to bytes; the text must be well formed.
std::string FromHex(std::string_view hex);
// Standard base64 with padding.
std::string ToBase64(std::string_view bytes);

// A DER element with a one-byte length (content under 128 bytes).
std::string DerElement(char tag, const std::string& content);
// The minimal INTEGER content of a big-endian unsigned number.
std::string MinimalDerInteger(std::string value);
// SEQUENCE { INTEGER r, INTEGER s } from the integers' contents as given.
std::string DerSignature(const std::string& r, const std::string& s);

} // namespace testing_support
