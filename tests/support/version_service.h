#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The local version service on localhost:1011 that the driver
// tests/support/with_version_service.sh runs for a test program. Its answers
// are files in the folder named by KESTREL_SERVICE_STATE, read afresh for
// every request, so a test changes them between runs of Kestrel.exe.
// Without answers set, every OEM identifier gets {"Code":3,...}: Tarnwick
// starts at once.
class VersionService {
public:
    // Starts from no answers, the trusted certificate and an empty request log.
    VersionService();
    ~VersionService();
    VersionService(const VersionService&) = delete;
    VersionService& operator=(const VersionService&) = delete;

    // False when the program runs without the driver.
    bool Available() const { return !folder_.empty(); }

    void Answer(int oemId, const std::string& body, int status = 200) const;
    // For every identifier without an answer of its own.
    void AnswerOthers(const std::string& body, int status = 200) const;
    // New connections get a self-signed certificate for localhost.
    void UseSelfSignedCertificate() const;
    // Packages are served at this many bytes a second, or "stall": no answer
    // at all. Empty: at full speed.
    void PackageRate(const std::string& rate) const;
    // Version requests are redirected once, to the same target over "http"
    // (the service's plain listener) or "https" (the service itself).
    void RedirectVersionRequests(const std::string& scheme) const;
    // Requests get no answer at all; the connection stays open until the client leaves.
    void NeverAnswer() const;
    // Request targets in order, e.g. "/v1/oem/clientVersion?oemId=25".
    std::vector<std::string> Requests() const;
    // Package answers in order, as "NAME RANGE STATUS BYTES-SENT".
    std::vector<std::string> PackageAnswers() const;

    void Reset() const;

private:
    void Put(const std::wstring& name, const std::string& content) const;

    std::wstring folder_;
};

// The JSON of a service answer with code 0 and this version data.
std::string UpgradeAnswer(const std::string& latestVersion, const std::string& updateContent = "",
                          const std::string& downloadUrl = "");
// The JSON of an answer with a non-zero code and a message.
std::string NoDataAnswer(int code, const std::string& message);

} // namespace testing_support
