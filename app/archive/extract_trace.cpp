#include "app/archive/extract_trace.h"

#include <windows.h>

#include <cstdio>

namespace SevenZip::intl {

void TraceLine(const wchar_t* text, const std::wstring& path)
{
    std::wstring line = text + path + L'\n';
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr,
                                    0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void FlushTrace()
{
    fflush(stdout);
}

} // namespace SevenZip::intl
