#include "app/archive/archive_files.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace SevenZip::intl {

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative)
{
    if (folder.empty())
        return relative;
    if (IsSeparator(folder.back()))
        return folder + relative;
    return folder + L'\\' + relative;
}

std::wstring ParentFolder(const std::wstring& path)
{
    size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return std::wstring();
    return path.substr(0, last + 1);
}

bool EnsureFolder(const std::wstring& path)
{
    int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

bool RemovePath(const std::wstring& path)
{
    if (path.empty() || path.size() > MAX_PATH)
        return false;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    // The source list ends with two zeros; no FOF_ALLOWUNDO, so nothing goes to the recycle bin.
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0;
}

ComRef<IStream> OpenForRead(const std::wstring& path)
{
    ComRef<IStream> stream;
    if (FAILED(SHCreateStreamOnFileEx(path.c_str(), STGM_READ, FILE_ATTRIBUTE_NORMAL, FALSE,
                                      nullptr, stream.put())))
        stream.reset();
    return stream;
}

ComRef<IStream> OpenForWrite(const std::wstring& path)
{
    ComRef<IStream> stream;
    if (FAILED(SHCreateStreamOnFileEx(path.c_str(), STGM_CREATE | STGM_WRITE, FILE_ATTRIBUTE_NORMAL,
                                      TRUE, nullptr, stream.put())))
        stream.reset();
    return stream;
}

} // namespace SevenZip::intl
