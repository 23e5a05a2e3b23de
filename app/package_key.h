#pragma once

#include <stddef.h>

// The publisher's ECDSA P-256 public key compiled into the program: the
// point's X then Y, big-endian. A build names the key's PEM file in the
// CMake cache variable KESTREL_PACKAGE_KEY; the build turns it into a
// source that defines CompiledPackageKey.
constexpr size_t kPackageKeyBytes = 64;

// The compiled-in key, or null when the build names none.
const unsigned char* CompiledPackageKey();
