#include "app/http_client.h"
#include "app/time_limits.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

namespace {

// Ports of the driver's test server (with_test_servers.sh).
std::string Port(const char* listener)
{
    const char* port = getenv((std::string("KESTREL_TEST_") + listener + "_PORT").c_str());
    return port ? port : "0";
}

std::string HttpUrl(const std::string& path)
{
    return "http://localhost:" + Port("HTTP") + path;
}

std::string HttpsUrl(const char* listener, const std::string& path)
{
    return "https://localhost:" + Port(listener) + path;
}

std::string Pattern(size_t size)
{
    std::string text;
    while (text.size() < size)
        text += "0123456789abcdef";
    text.resize(size);
    return text;
}

struct Fetched {
    HttpState state;
    std::string body;
};

Fetched Fetch(const std::string& url, const std::string& headers = std::string())
{
    HttpClient client;
    std::string body = client.Get(url, headers);
    return {client.LastState(), body};
}

} // namespace

TEST(ParseUrl, SplitsAddressesIntoTheirParts)
{
    struct Case {
        const char* url;
        const char* scheme;
        const char* host;
        int port;
        const char* path;
        const char* query;
    } cases[] = {
        {"https://updates.example:1011/v1/oem/clientVersion?oemId=7", "https", "updates.example", 1011,
         "/v1/oem/clientVersion", "oemId=7"},
        // The fragment is cut before the query is looked for.
        {"https://host/a#frag?x", "https", "host", 443, "/a", ""},
        {"http://host", "http", "host", 80, "", ""},
        // The port takes only leading digits and never wraps.
        {"http://host:12ab/x", "http", "host", 12, "/x", ""},
        {"http://host:x/", "http", "host", 0, "/", ""},
        {"http://host:99999999999999999999/", "http", "host", 0x7FFFFFFF, "/", ""},
        // The scheme is case-sensitive: an unknown one gets port 80.
        {"HTTPS://host/a", "", nullptr, 80, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        UrlParts parts = ParseUrl(c.url);
        EXPECT_EQ(parts.scheme, c.scheme);
        EXPECT_EQ(parts.port, c.port);
        if (!c.host)
            continue;
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.path, c.path);
        EXPECT_EQ(parts.query, c.query);
    }
}

TEST(HttpClient, EmptyUrlEndsWithState14AndNoBody)
{
    Fetched fetched = Fetch("");
    EXPECT_EQ(fetched.state, kHttpEmptyUrl);
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpClient, ObjectNameCarriesTheQuery)
{
    Fetched fetched = Fetch(HttpUrl("/echo/v1/oem/clientVersion?oemId=7"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_EQ(fetched.body, "/echo/v1/oem/clientVersion?oemId=7");
}

TEST(HttpClient, FragmentIsNotSent)
{
    Fetched fetched = Fetch(HttpUrl("/echo/a#frag?x"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_EQ(fetched.body, "/echo/a");
}

TEST(HttpClient, ExtraHeadersAreSent)
{
    Fetched fetched = Fetch(HttpUrl("/headers"), "X-Kestrel-Test: channel 25\r\n");
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_EQ(fetched.body, "channel 25");
}

TEST(HttpClient, ChunkedBodyIsReturnedWholeAndInOrder)
{
    std::string expected;
    char line[16];
    for (int i = 0; i < 3000; ++i) {
        snprintf(line, sizeof(line), "line %05d\n", i);
        expected += line;
    }
    Fetched fetched = Fetch(HttpUrl("/chunks"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_TRUE(fetched.body == expected) << "body of " << fetched.body.size() << " bytes differs";
}

TEST(HttpClient, HugeBodyIsReturnedWhole)
{
    Fetched fetched = Fetch(HttpUrl("/huge"));
    EXPECT_EQ(fetched.state, kHttpOk);
    ASSERT_EQ(fetched.body.size(), 6u * 1024 * 1024);
    EXPECT_TRUE(fetched.body == Pattern(fetched.body.size()));
}

TEST(HttpClient, NotFoundGivesState5AndNoBody)
{
    Fetched fetched = Fetch(HttpUrl("/missing"));
    EXPECT_EQ(fetched.state, kHttpNotFound);
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpClient, ServerErrorIsReadLikeAnyAnswer)
{
    Fetched fetched = Fetch(HttpUrl("/error"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_EQ(fetched.body, "server error body");
}

TEST(HttpClient, EarlyCloseGivesWhatWasReadOrASendFailure)
{
    Fetched fetched = Fetch(HttpUrl("/early-close"));
    if (fetched.state == kHttpSendFailed) {
        EXPECT_EQ(fetched.body, "");
        return;
    }
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_LE(fetched.body.size(), 5000u);
    EXPECT_EQ(fetched.body, Pattern(fetched.body.size()));
}

TEST(HttpClient, ConnectionClosedWithoutAnswerGivesNoBody)
{
    Fetched fetched = Fetch(HttpUrl("/no-answer"));
    EXPECT_TRUE(fetched.state == kHttpSendFailed || fetched.state == kHttpOk)
        << "state " << fetched.state;
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpClient, RefusedConnectionFails)
{
    Fetched fetched = Fetch("http://localhost:" + Port("REFUSED") + "/echo");
    EXPECT_TRUE(fetched.state == kHttpSendFailed || fetched.state == kHttpNoConnection)
        << "state " << fetched.state;
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpClient, EveryRequestSetsTheLastState)
{
    HttpClient client;
    client.Get(HttpUrl("/missing"), "");
    EXPECT_EQ(client.LastState(), kHttpNotFound);
    EXPECT_EQ(client.Get(HttpUrl("/echo/again"), ""), "/echo/again");
    EXPECT_EQ(client.LastState(), kHttpOk);
    EXPECT_EQ(client.Get("", ""), "");
    EXPECT_EQ(client.LastState(), kHttpEmptyUrl);
    EXPECT_EQ(client.Get(HttpsUrl("HTTPS", "/echo/third"), ""), "/echo/third");
    EXPECT_EQ(client.LastState(), kHttpOk);
}

TEST(HttpsCertificates, ChainToATrustedCaIsAccepted)
{
    Fetched fetched = Fetch(HttpsUrl("HTTPS", "/echo/v1/oem/clientVersion?oemId=25"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_EQ(fetched.body, "/echo/v1/oem/clientVersion?oemId=25");
}

TEST(HttpsCertificates, SelfSignedCertificateFailsTheSend)
{
    Fetched fetched = Fetch(HttpsUrl("SELFSIGNED", "/echo/forged"));
    EXPECT_EQ(fetched.state, kHttpSendFailed);
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpsCertificates, CertificateForAnotherHostFailsTheSend)
{
    Fetched fetched = Fetch(HttpsUrl("WRONGHOST", "/echo/forged"));
    EXPECT_EQ(fetched.state, kHttpSendFailed);
    EXPECT_EQ(fetched.body, "");
}

TEST(HttpsCertificates, ExpiredCertificateFailsTheSend)
{
    Fetched fetched = Fetch(HttpsUrl("EXPIRED", "/echo/forged"));
    EXPECT_EQ(fetched.state, kHttpSendFailed);
    EXPECT_EQ(fetched.body, "");
}

// A redirect may not take the answer off an encrypted connection; one that
// stays on https is followed.
TEST(HttpsRedirects, RedirectToHttpFailsTheSendAndOneToHttpsIsFollowed)
{
    struct Case {
        std::string target;
        HttpState state;
        std::string body;
    } cases[] = {
        {HttpUrl("/echo/plain"), kHttpSendFailed, ""},
        {"http://127.0.0.1:" + Port("HTTP") + "/echo/plain", kHttpSendFailed, ""},
        {HttpsUrl("HTTPS", "/echo/secure"), kHttpOk, "/echo/secure"},
        {HttpsUrl("HTTPS", "/redirect?" + HttpUrl("/echo/twice")), kHttpSendFailed, ""},
    };
    for (const Case& c : cases) {
        Fetched fetched = Fetch(HttpsUrl("HTTPS", "/redirect?" + c.target));
        EXPECT_EQ(fetched.state, c.state) << c.target;
        EXPECT_EQ(fetched.body, c.body) << c.target;
    }
}

// The test build's deadline is short (app/time_limits.cpp); the servers keep
// the client waiting well past it unless the client gives up.
TEST(HttpClientDeadline, StuckServersFailAtTheDeadlineAndTheClientStaysUsable)
{
    struct Case {
        const char* what;
        std::string url;
    } cases[] = {
        {"no TLS handshake", HttpsUrl("MUTE", "/echo")},
        {"silent after the handshake", HttpsUrl("HTTPS", "/silent")},
        {"trickling status and headers", HttpsUrl("HTTPS", "/trickle")},
        {"trickling body", HttpsUrl("HTTPS", "/trickle-body")},
    };
    HttpClient client;
    for (const Case& c : cases) {
        DWORD start = GetTickCount();
        std::string body = client.Get(c.url, "");
        DWORD elapsed = GetTickCount() - start;
        EXPECT_EQ(client.LastState(), kHttpSendFailed) << c.what;
        EXPECT_EQ(body, "") << c.what;
        EXPECT_GE(elapsed, kVersionRequestDeadlineMs - 100) << c.what;
        EXPECT_LT(elapsed, kVersionRequestDeadlineMs + 1500) << c.what;
        printf("%s: failed after %lu ms\n", c.what, static_cast<unsigned long>(elapsed));
    }
    EXPECT_EQ(client.Get(HttpsUrl("HTTPS", "/echo/after"), ""), "/echo/after");
    EXPECT_EQ(client.LastState(), kHttpOk);
}

TEST(HttpClientDeadline, QuickAnswerDoesNotWaitForTheDeadline)
{
    DWORD start = GetTickCount();
    Fetched fetched = Fetch(HttpUrl("/echo/quick"));
    EXPECT_EQ(fetched.state, kHttpOk);
    EXPECT_LT(GetTickCount() - start, kVersionRequestDeadlineMs / 2);
}
