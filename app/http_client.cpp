#include "app/http_client.h"

#include "app/shared_thread.h"
#include "app/time_limits.h"

#include <string.h>

#include <limits>
#include <memory>

namespace {

// Certificate checks stay on, and a redirect from https to http is refused
// (INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP left out): the answer decides what
// gets installed with administrator rights, so neither a forged server nor
// anyone on a plain connection may give it.
const DWORD kHttpsRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE
                                 | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES
                                 | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI;
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
        if (value > std::numeric_limits<int>::max())
            return std::numeric_limits<int>::max();
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

void RequestHandles::Close()
{
    request.reset();
    connection.reset();
    internet.reset();
}

namespace {

// One request, shared by the client and the thread that runs it, so that
// either may be the last to let go of it.
struct Exchange {
    std::string url;
    std::string extraHeaders;
    RequestHandles handles;
    std::string body;
    HttpState state = kHttpOk;
};

// With WinINet's own time-outs a server that goes silent also ends the wait
// inside WinINet, so a thread left behind at the deadline ends soon after.
// They bound neither a TLS handshake that never completes (under Wine) nor
// a trickling server; only the deadline does.
void LimitEachOperation(HINTERNET request, DWORD limitMs)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(request, option, &limitMs, sizeof(limitMs));
}

// Windows refuses a redirect from https to http itself when the request
// lacks INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP; Wine follows it all the same.
// So where the answer finally came from is checked as well.
bool AnsweredOverHttps(HINTERNET request)
{
    wchar_t url[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof(url) - sizeof(url[0]);
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, url, &size))
        return false;
    const wchar_t scheme[] = L"https://";
    const int length = static_cast<int>(wcslen(scheme));
    return static_cast<int>(wcslen(url)) >= length
           && CompareStringOrdinal(url, length, scheme, length, TRUE) == CSTR_EQUAL;
}

HttpState Run(Exchange& exchange)
{
    RequestHandles& handles = exchange.handles;
    handles.internet.reset(
        InternetOpenA("Http-connect", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!handles.internet)
        return kHttpNoHandle;

    UrlParts parts = ParseUrl(exchange.url);
    handles.connection.reset(InternetConnectA(handles.internet.get(), parts.host.c_str(),
                                              static_cast<INTERNET_PORT>(parts.port), nullptr,
                                              nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!handles.connection)
        return kHttpNoConnection;

    std::string objectName = parts.path;
    if (!parts.query.empty())
        objectName += "?" + parts.query;
    DWORD flags = parts.scheme == "https" ? kHttpsRequestFlags : kHttpRequestFlags;
    handles.request.reset(HttpOpenRequestA(handles.connection.get(), "GET", objectName.c_str(),
                                           "HTTP/1.1", nullptr, nullptr, flags, 0));
    if (!handles.request)
        return kHttpNoHandle;
    HINTERNET request = handles.request.get();
    LimitEachOperation(request, kVersionRequestDeadlineMs);

    const std::string& headers = exchange.extraHeaders;
    if (!HttpSendRequestA(request, headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()), nullptr, 0))
        return kHttpSendFailed;
    if (parts.scheme == "https" && !AnsweredOverHttps(request))
        return kHttpSendFailed;

    wchar_t status[2048] = {};
    DWORD statusSize = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, status, &statusSize, nullptr))
        return kHttpNoStatus;
    if (wcscmp(status, L"404") == 0)
        return kHttpNotFound;

    // Each chunk counts up to its first zero byte: the body is taken as text.
    char buffer[kReadSize + 1];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, kReadSize, &read) && read != 0) {
        buffer[read] = '\0';
        exchange.body.append(buffer);
    }
    return kHttpOk;
}

unsigned __stdcall ExchangeThread(void* shared)
{
    std::shared_ptr<Exchange> exchange = TakeShared<Exchange>(shared);
    // Nothing leaves the thread: an answer too large to hold fails the request.
    try {
        exchange->state = Run(*exchange);
    } catch (...) {
        exchange->state = kHttpSendFailed;
    }
    return 0;
}

} // namespace

// A blocked WinINet call cannot be cut short: under Wine, closing its handle
// from another thread does not end it. So the request runs on a thread of its
// own, and at the deadline the client stops waiting and leaves that thread
// the request and its handles.
std::string HttpClient::Get(const std::string& url, const std::string& extraHeaders)
{
    if (url.empty()) {
        lastState_ = kHttpEmptyUrl;
        return std::string();
    }
    handles_.Close();

    auto exchange = std::make_shared<Exchange>();
    exchange->url = url;
    exchange->extraHeaders = extraHeaders;
    SkinUI::KernelHandle thread = StartSharedThread(exchange, &ExchangeThread);
    if (!thread) {
        lastState_ = kHttpNoHandle;
        return std::string();
    }
    if (WaitForSingleObject(thread.get(), kVersionRequestDeadlineMs) != WAIT_OBJECT_0) {
        lastState_ = kHttpSendFailed;
        return std::string();
    }
    handles_ = std::move(exchange->handles);
    lastState_ = exchange->state;
    return lastState_ == kHttpOk ? std::move(exchange->body) : std::string();
}
