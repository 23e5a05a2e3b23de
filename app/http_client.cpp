#include "app/http_client.h"

#include <string.h>

namespace {

// Reload, secure, keep-alive, no cookies, no auth, allow redirects to http,
// no UI. Certificate checks stay on: the answer decides what gets installed
// with administrator rights, so a forged server must not be accepted.
const DWORD kHttpsRequestFlags = 0x80CC8200;
const DWORD kHttpRequestFlags = INTERNET_FLAG_RELOAD;
const DWORD kReadSize = 4096;

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// The leading decimal digits; 0 when there are none. Saturates instead of
// overflowing so that a long digit run cannot wrap into a valid port.
int LeadingNumber(const std::string& text)
{
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 0x7FFFFFFF)
            return 0x7FFFFFFF;
    }
    return static_cast<int>(value);
}

} // namespace

UrlParts ParseUrl(const std::string& url)
{
    size_t schemeLength = StartsWith(url, "https://") ? 8 : StartsWith(url, "http://") ? 7 : 0;
    size_t slash = url.find('/', schemeLength + 1);
    std::string rest = slash == std::string::npos ? std::string() : url.substr(slash);
    std::string authority = url.substr(schemeLength, slash == std::string::npos
                                                         ? std::string::npos
                                                         : slash - schemeLength);
    rest = rest.substr(0, rest.find('#'));

    UrlParts parts;
    std::string portText;
    size_t colon = authority.find(':');
    parts.host = authority.substr(0, colon);
    if (colon != std::string::npos)
        portText = authority.substr(colon + 1);
    if (schemeLength != 0)
        parts.scheme = url.substr(0, schemeLength - 3);

    size_t question = rest.find('?');
    parts.path = rest.substr(0, question);
    if (question != std::string::npos)
        parts.query = rest.substr(question + 1);

    if (!portText.empty())
        parts.port = LeadingNumber(portText);
    else
        parts.port = parts.scheme == "https" ? 443 : 80;
    return parts;
}

std::string HttpClient::Get(const std::string& url, const std::string& extraHeaders)
{
    std::string body;
    lastState_ = Request(url, extraHeaders, body);
    if (lastState_ != kHttpOk)
        body.clear();
    return body;
}

void HttpClient::CloseHandles()
{
    request_.reset();
    connection_.reset();
    internet_.reset();
}

HttpState HttpClient::Request(const std::string& url, const std::string& extraHeaders,
                              std::string& body)
{
    if (url.empty())
        return kHttpEmptyUrl;
    CloseHandles();

    internet_.reset(InternetOpenA("Http-connect", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet_)
        return kHttpNoHandle;

    UrlParts parts = ParseUrl(url);
    connection_.reset(InternetConnectA(internet_.get(), parts.host.c_str(),
                                       static_cast<INTERNET_PORT>(parts.port), nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_)
        return kHttpNoConnection;

    std::string objectName = parts.path;
    if (!parts.query.empty())
        objectName += "?" + parts.query;
    DWORD flags = parts.scheme == "https" ? kHttpsRequestFlags : kHttpRequestFlags;
    request_.reset(HttpOpenRequestA(connection_.get(), "GET", objectName.c_str(), "HTTP/1.1",
                                    nullptr, nullptr, flags, 0));
    if (!request_)
        return kHttpNoHandle;

    if (!HttpSendRequestA(request_.get(), extraHeaders.empty() ? nullptr : extraHeaders.c_str(),
                          static_cast<DWORD>(extraHeaders.size()), nullptr, 0))
        return kHttpSendFailed;

    wchar_t status[2048] = {};
    DWORD statusSize = sizeof(status);
    if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE, status, &statusSize, nullptr))
        return kHttpNoStatus;
    if (wcscmp(status, L"404") == 0)
        return kHttpNotFound;

    // Each chunk counts up to its first zero byte: the body is taken as text.
    char buffer[kReadSize + 1];
    DWORD read = 0;
    while (InternetReadFile(request_.get(), buffer, kReadSize, &read) && read != 0) {
        buffer[read] = '\0';
        body.append(buffer);
    }
    return kHttpOk;
}
