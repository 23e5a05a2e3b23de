#include "app/package_address.h"

#include <windows.h>

namespace {

const wchar_t kScheme[] = L"https://";
const size_t kSchemeLength = sizeof(kScheme) / sizeof(kScheme[0]) - 1;

bool IsHostCharacter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')
           || c == L'-' || c == L'_' || c == L'.';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool EndsAuthority(wchar_t c)
{
    return c == L'/' || c == L'?' || c == L'#';
}

} // namespace

bool IsHttpsPackageAddress(const std::wstring& address)
{
    if (address.size() < kSchemeLength
        || CompareStringOrdinal(address.c_str(), static_cast<int>(kSchemeLength), kScheme,
                                static_cast<int>(kSchemeLength), TRUE)
               != CSTR_EQUAL)
        return false;
    size_t at = kSchemeLength;
    size_t hostStart = at;
    while (at < address.size() && IsHostCharacter(address[at]))
        ++at;
    // A host of dots alone names nothing.
    if (address.find_first_not_of(L'.', hostStart) >= at)
        return false;
    if (at < address.size() && address[at] == L':') {
        size_t portStart = ++at;
        while (at < address.size() && IsDigit(address[at]))
            ++at;
        if (at == portStart)
            return false;
    }
    return at == address.size() || EndsAuthority(address[at]);
}
