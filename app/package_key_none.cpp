#include "app/package_key.h"

// The definition for builds without a key. A program built with one links
// the generated definition as an object of its own, so the linker never
// takes this member out of the library.
const unsigned char* CompiledPackageKey()
{
    return nullptr;
}
