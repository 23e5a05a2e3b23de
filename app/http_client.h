#pragma once

#include <windows.h>
#include <wininet.h>

#include "ui/core/unique_handle.h"

#include <string>
#include <utility>

// Outcome of the last request of an HttpClient.
enum HttpState : int {
    kHttpOk = 0,
    kHttpNoHandle = 1,       // InternetOpenA or HttpOpenRequestA gave no handle
    kHttpNoConnection = 2,   // InternetConnectA gave no handle
    // HttpSendRequestA failed, also for a certificate that fails validation,
    // an https request redirected to http, or the request did not end
    // within its deadline, or its answer could not be held
    kHttpSendFailed = 3,
    kHttpNoStatus = 4,       // the status code could not be queried
    kHttpNotFound = 5,       // the server answered 404
    kHttpEmptyUrl = 14,
};

// A URL split the way the client needs it; all byte strings.
struct UrlParts {
    std::string scheme;  // "https", "http" or empty
    std::string host;
    int port = 0;
    std::string path;    // fragment removed
    std::string query;   // without the "?"
};

UrlParts ParseUrl(const std::string& url);

inline void CloseInternetHandle(HINTERNET handle) { InternetCloseHandle(handle); }
using InternetHandle = SkinUI::UniqueHandle<HINTERNET, &CloseInternetHandle>;

// The WinINet handles of one request.
struct RequestHandles {
    void Close();

    // Declared in this order so that destruction closes request, connection, internet.
    InternetHandle internet;
    InternetHandle connection;
    InternetHandle request;
};

// Fetches one URL with a synchronous HTTP GET through WinINet. Failures are
// reported through LastState(), never as exceptions. The handles of a request
// stay open until the next request or the client's end.
//
// Every request ends within kVersionRequestDeadlineMs of its start: a server
// that never answers or trickles its answer makes it fail with
// kHttpSendFailed. Such a request goes on on a thread of its own, with its
// handles, until WinINet gives up or the process ends.
class HttpClient {
public:
    // extraHeaders are raw header lines, empty for none. The body is empty
    // unless the state afterwards is kHttpOk.
    std::string Get(const std::string& url, const std::string& extraHeaders);

    HttpState LastState() const { return lastState_; }

private:
    RequestHandles handles_;
    HttpState lastState_ = kHttpOk;
};
