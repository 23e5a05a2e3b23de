#include "tests/ui_core/fixtures.h"

#include "tests/support/files.h"

#include <stdlib.h>

std::wstring FixturePath(const std::wstring& name)
{
    const wchar_t* folder = _wgetenv(L"KESTREL_SKIN_FIXTURES");
    return std::wstring(folder ? folder : L"") + name;
}

std::string ReadFixture(const std::wstring& name)
{
    return testing_support::ReadBytes(FixturePath(name));
}
