#include "tests/support/version_service.h"

#include "tests/support/files.h"

#include <windows.h>

namespace testing_support {

namespace {

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

VersionService::VersionService() : folder_(EnvironmentValue(L"KESTREL_SERVICE_STATE"))
{
    if (!folder_.empty() && folder_.back() != L'\\')
        folder_ += L'\\';
    Reset();
}

VersionService::~VersionService()
{
    Reset();
}

void VersionService::Reset() const
{
    if (!Available())
        return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((folder_ + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// The service may read at any moment: write beside, then swap in whole.
void VersionService::Put(const std::wstring& name, const std::string& content) const
{
    std::wstring temporary = folder_ + name + L".tmp";
    WriteBytes(temporary, content);
    MoveFileExW(temporary.c_str(), (folder_ + name).c_str(), MOVEFILE_REPLACE_EXISTING);
}

void VersionService::Answer(int oemId, const std::string& body, int status) const
{
    std::wstring name = std::to_wstring(oemId);
    Put(name + L".status", std::to_string(status));
    Put(name + L".json", body);
}

void VersionService::AnswerOthers(const std::string& body, int status) const
{
    Put(L"default.status", std::to_string(status));
    Put(L"default.json", body);
}

void VersionService::UseSelfSignedCertificate() const
{
    Put(L"certificate", "self-signed");
}

void VersionService::PackageRate(const std::string& rate) const
{
    Put(L"package-rate", rate);
}

void VersionService::RedirectVersionRequests(const std::string& scheme) const
{
    Put(L"redirect", scheme);
}

void VersionService::NeverAnswer() const
{
    Put(L"silent", "");
}

std::vector<std::string> VersionService::Requests() const
{
    return ReadLines(folder_ + L"requests.log");
}

std::vector<std::string> VersionService::PackageAnswers() const
{
    return ReadLines(folder_ + L"packages.log");
}

std::string UpgradeAnswer(const std::string& latestVersion, const std::string& updateContent,
                          const std::string& downloadUrl)
{
    return "{\"Code\":0,\"Msg\":\"\",\"Data\":{\"LatestVersion\":" + Quoted(latestVersion)
        + ",\"UpdateContent\":" + Quoted(updateContent) + ",\"DownloadUrl\":" + Quoted(downloadUrl)
        + "}}";
}

std::string NoDataAnswer(int code, const std::string& message)
{
    return "{\"Code\":" + std::to_string(code) + ",\"Msg\":" + Quoted(message) + "}";
}

} // namespace testing_support
