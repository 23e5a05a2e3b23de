#include "app/refused_version.h"

#include "ui/core/unique_handle.h"

#include <windows.h>

const wchar_t kRefusedFileName[] = L"kestrel.refused";

namespace {

// A version is a few numbers and points; anything longer is not one.
const DWORD kMaxVersionBytes = 256;

std::wstring RefusedPath(const std::wstring& folder)
{
    return folder + kRefusedFileName;
}

} // namespace

bool IsVersionRefused(const std::wstring& folder, const std::wstring& latest)
{
    if (latest.empty())
        return false;
    SkinUI::FileHandle file(CreateFileW(RefusedPath(folder).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char bytes[kMaxVersionBytes] = {};
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof(bytes), &read, nullptr) || read == 0 || read == sizeof(bytes))
        return false;
    wchar_t text[kMaxVersionBytes] = {};
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(read),
                                     text, kMaxVersionBytes);
    return length > 0 && latest == std::wstring(text, length);
}

bool RefuseVersion(const std::wstring& folder, const std::wstring& version)
{
    if (version.empty())
        return false;
    char bytes[kMaxVersionBytes] = {};
    int length = WideCharToMultiByte(CP_UTF8, 0, version.c_str(), static_cast<int>(version.size()),
                                     bytes, kMaxVersionBytes - 1, nullptr, nullptr);
    if (length <= 0)
        return false;
    SkinUI::FileHandle file(CreateFileW(RefusedPath(folder).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes, static_cast<DWORD>(length), &written, nullptr)
           && written == static_cast<DWORD>(length);
}

void ForgetRefusedVersion(const std::wstring& folder)
{
    DeleteFileW(RefusedPath(folder).c_str());
}
