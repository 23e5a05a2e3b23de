#include "app/resume_record.h"

#include "ui/core/unique_handle.h"

#include <string.h>

#include <vector>

const wchar_t kResumeRecordSuffix[] = L".kestrel-resume";

namespace {

const char kFirstLine[] = "kestrel-resume 1";
// A record holds one address and a few short texts; more is no record.
constexpr DWORD kLargestRecord = 16 * 1024;

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size,
                            nullptr, nullptr);
    return bytes;
}

// Strict: invalid UTF-8 fails instead of becoming replacement characters.
bool FromUtf8(const std::string& bytes, std::wstring& text)
{
    text.clear();
    if (bytes.empty())
        return true;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.c_str(),
                                   static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0)
        return false;
    text.resize(size);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.c_str(), static_cast<int>(bytes.size()),
                        &text[0], size);
    return true;
}

// A value may hold no line end and no control character, so every line
// of a record means what it says.
bool IsPlainValue(const std::string& value)
{
    for (unsigned char c : value) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return !value.empty();
}

bool ParseSize(const std::string& text, ULONGLONG& size)
{
    if (text.empty() || text.size() > 19 || (text.size() > 1 && text[0] == '0'))
        return false;
    size = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        size = size * 10 + static_cast<ULONGLONG>(c - '0');
    }
    return size > 0;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The value of "KEY VALUE"; false when the line has another key.
bool TakeValue(const std::string& line, const char* key, std::string& value)
{
    size_t length = strlen(key);
    if (line.compare(0, length, key) != 0 || line.size() <= length || line[length] != ' ')
        return false;
    value = line.substr(length + 1);
    return IsPlainValue(value);
}

bool ReadSmallFile(const std::wstring& path, std::string& bytes)
{
    SkinUI::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0
        || size.QuadPart > kLargestRecord)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)
           && read == bytes.size();
}

std::string Serialise(const ResumeRecord& record)
{
    return std::string(kFirstLine) + "\naddress " + ToUtf8(record.address) + "\nvalidator "
           + ToUtf8(record.validator) + "\nsize " + std::to_string(record.size) + "\nproof "
           + record.proof + "\nend\n";
}

} // namespace

std::wstring ResumeRecordPath(const std::wstring& packagePath)
{
    return packagePath + kResumeRecordSuffix;
}

bool IsResumeRecordName(const std::wstring& name)
{
    size_t length = wcslen(kResumeRecordSuffix);
    if (name.size() < length)
        return false;
    return CompareStringOrdinal(name.c_str() + name.size() - length, static_cast<int>(length),
                                kResumeRecordSuffix, static_cast<int>(length), TRUE)
           == CSTR_EQUAL;
}

// Written beside its final name and moved over it, so that a run cut short
// while writing leaves either the whole record or none.
bool WriteResumeRecord(const std::wstring& path, const ResumeRecord& record)
{
    std::string bytes = Serialise(record);
    std::wstring writing = path + L".new";
    bool written = false;
    {
        SkinUI::FileHandle file(CreateFileW(writing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD wrote = 0;
        written = file
                  && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote,
                               nullptr)
                  && wrote == bytes.size() && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(writing.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(writing.c_str());
    DeleteFileW(path.c_str());
    return false;
}

bool ReadResumeRecord(const std::wstring& path, ResumeRecord& record)
{
    std::string bytes;
    if (!ReadSmallFile(path, bytes) || bytes.back() != '\n')
        return false;
    std::vector<std::string> lines = SplitLines(bytes);
    if (lines.size() != 6 || lines[0] != kFirstLine || lines[5] != "end")
        return false;
    std::string address, validator, size;
    ResumeRecord read;
    if (!TakeValue(lines[1], "address", address) || !TakeValue(lines[2], "validator", validator)
        || !TakeValue(lines[3], "size", size) || !TakeValue(lines[4], "proof", read.proof))
        return false;
    if (!FromUtf8(address, read.address) || !FromUtf8(validator, read.validator)
        || !ParseSize(size, read.size))
        return false;
    record = read;
    return true;
}
