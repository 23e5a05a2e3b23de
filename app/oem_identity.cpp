#include "app/oem_identity.h"

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <share.h>
#include <stdio.h>
#include <string.h>

#include <cmath>
#include <limits>
#include <memory>

#include <json/json.h>

namespace {

int g_oemId = 1;

bool IsTokenSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string ReadFirstToken(FILE* file)
{
    int c = fgetc(file);
    while (c != EOF && IsTokenSpace(c))
        c = fgetc(file);
    std::string token;
    while (c != EOF && !IsTokenSpace(c)) {
        token.push_back(static_cast<char>(c));
        c = fgetc(file);
    }
    return token;
}

// Strings, arrays, objects and numbers outside the 32-bit range count as no id.
int IdFromValue(const Json::Value& id)
{
    if (id.isBool())
        return id.asBool() ? 1 : 0;
    if (id.isInt())
        return id.asInt();
    if (id.isDouble() && !id.isUInt() && !id.isInt64() && !id.isUInt64()) {
        double value = std::trunc(id.asDouble());
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return 0;
        return static_cast<int>(value);
    }
    return 0;
}

} // namespace

int OemId()
{
    return g_oemId;
}

void SetOemId(int id)
{
    g_oemId = id;
}

int ReadOemIdFromFile(const char* path)
{
    SkinUI::StdioFile file(_fsopen(path, "rt", _SH_DENYNO));
    if (!file)
        return 0;
    std::string token = ReadFirstToken(file.get());
    file.reset();

    Json::Reader reader;
    Json::Value root;
    try {
        if (!reader.parse(token, root) || !root.isObject())
            return 0;
        return IdFromValue(root["id"]);
    } catch (const std::exception&) {
        return 0;
    }
}

int ReadOemId()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    char* lastSlash = strrchr(path, '\\');
    if (lastSlash)
        *lastSlash = '\0';
    static const char kFileName[] = "\\kestrel.dat";
    if (strlen(path) + sizeof(kFileName) > MAX_PATH)
        return 0;
    lstrcatA(path, kFileName);
    return ReadOemIdFromFile(path);
}

bool GetFileVersionString(const std::wstring& path, const std::wstring& keyName,
                          std::wstring& value)
{
    if (path.empty() || keyName.empty())
        return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block || !GetFileVersionInfoW(path.c_str(), handle, size, block.get()))
        return false;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueA(block.get(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &translationBytes)
        || translationBytes < sizeof(Translation))
        return false;

    DWORD key = (static_cast<DWORD>(translation->language) << 16) | translation->codePage;
    wchar_t subBlock[128] = {};
    int written = _snwprintf(subBlock, 128, L"\\StringFileInfo\\%08lx\\%ls",
                             static_cast<unsigned long>(key), keyName.c_str());
    if (written < 0 || written >= 128)
        return false;

    wchar_t* text = nullptr;
    UINT textLength = 0;
    if (VerQueryValueW(block.get(), subBlock, reinterpret_cast<void**>(&text), &textLength) && text)
        value.assign(text);
    return true;
}

void StartMainApp(const std::wstring& moduleFolder)
{
    wchar_t application[MAX_PATH] = {};
    int written = _snwprintf(application, MAX_PATH, L"%lsTarnwick.exe", moduleFolder.c_str());
    if (written < 0 || written >= MAX_PATH)
        return;
    wchar_t commandLine[MAX_PATH] = {};
    _snwprintf(commandLine, MAX_PATH, L"-show -oemid:%d", OemId());

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    CreateProcessW(application, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                   &startup, &process);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
}
