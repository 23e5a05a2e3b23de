#include "app/oem_identity.h"

#include "app/module_folder.h"
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

// kestrel.dat is a few bytes; what lies beyond this is never needed.
const size_t kMaxOemFileBytes = 64 * 1024;

std::string ReadHead(FILE* file)
{
    std::string bytes(kMaxOemFileBytes, '\0');
    bytes.resize(fread(&bytes[0], 1, bytes.size(), file));
    return bytes;
}

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, strlen(mark), mark) == 0;
}

std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian)
{
    std::wstring wide(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        unsigned char first = static_cast<unsigned char>(bytes[2 * i]);
        unsigned char second = static_cast<unsigned char>(bytes[2 * i + 1]);
        wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    if (wide.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr,
                        nullptr);
    return utf8;
}

// Editors save the file with a byte-order mark (Notepad), or as UTF-16.
std::string AsUtf8(const std::string& bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return bytes.substr(3);
    if (StartsWith(bytes, "\xFF\xFE"))
        return Utf16ToUtf8(bytes.substr(2), false);
    if (StartsWith(bytes, "\xFE\xFF"))
        return Utf16ToUtf8(bytes.substr(2), true);
    return bytes;
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

int ReadOemIdFromFile(const std::wstring& path)
{
    // Binary: text mode would end a UTF-16 file at its first 0x1A byte.
    SkinUI::StdioFile file(_wfsopen(path.c_str(), L"rb", _SH_DENYNO));
    if (!file)
        return 0;
    std::string content = AsUtf8(ReadHead(file.get()));
    file.reset();

    // The reader stops after the first value, so a file whose first
    // white-space-delimited token is the whole object (the one form that
    // used to be read) gives the same id as before; spaces and line
    // breaks inside the object are now read too.
    Json::Reader reader;
    Json::Value root;
    try {
        if (!reader.parse(content.data(), content.data() + content.size(), root) || !root.isObject())
            return 0;
        return IdFromValue(root["id"]);
    } catch (const std::exception&) {
        return 0;
    }
}

int ReadOemId()
{
    std::wstring folder;
    if (!GetModuleFolder(folder))
        return 0;
    std::wstring path = folder + L"kestrel.dat";
    if (path.size() >= MAX_PATH)
        return 0;
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

bool LaunchMainApp(const std::wstring& moduleFolder, SkinUI::OwnedProcess& process)
{
    process = SkinUI::OwnedProcess();
    wchar_t application[MAX_PATH] = {};
    int written = _snwprintf(application, MAX_PATH, L"%lsTarnwick.exe", moduleFolder.c_str());
    if (written < 0 || written >= MAX_PATH)
        return false;
    wchar_t commandLine[MAX_PATH] = {};
    _snwprintf(commandLine, MAX_PATH, L"-show -oemid:%d", OemId());

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    process = SkinUI::AdoptProcess(started);
    return true;
}

void StartMainApp(const std::wstring& moduleFolder)
{
    SkinUI::OwnedProcess process;
    LaunchMainApp(moduleFolder, process);
}
