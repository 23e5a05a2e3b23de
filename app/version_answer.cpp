#include "app/version_answer.h"

#include <json/json.h>

#include <windows.h>

#include <stdio.h>
#include <wctype.h>

#include <limits.h>

#include <algorithm>

namespace {

// One "%d" of a version text: white space, a sign, digits. Saturates where
// the runtime's scanf would be undefined, since the text comes from the network.
bool ReadNumber(const wchar_t*& text, int& number)
{
    const wchar_t* p = text;
    while (iswspace(*p))
        ++p;
    bool negative = *p == L'-';
    if (*p == L'-' || *p == L'+')
        ++p;
    if (*p < L'0' || *p > L'9')
        return false;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (value <= INT_MAX)
            value = value * 10 + (*p - L'0');
    }
    if (negative)
        value = -value;
    number = static_cast<int>(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
    text = p;
    return true;
}

// Numbers that the text does not have stay 0.
void ReadVersion(const std::wstring& version, int (&numbers)[4])
{
    const wchar_t* text = version.c_str();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*text != L'.')
                return;
            ++text;
        }
        if (!ReadNumber(text, numbers[i]))
            return;
    }
}

std::wstring TextOf(const Json::Value& value)
{
    return Utf8ToWide(value.asString());
}

// Missing and null read as absent; a number or an object is a malformed
// member, which must not be mistaken for an absent one.
OptionalText OptionalTextOf(const Json::Value& value)
{
    OptionalText member;
    if (value.isNull())
        return member;
    member.state = value.isString() ? OptionalText::State::Text : OptionalText::State::WrongType;
    if (value.isString())
        member.text = value.asString();
    return member;
}

// A "Deltas" that is not an array, or an entry that is not an object,
// offers nothing: the full package stays the way.
std::vector<DeltaOffer> DeltasOf(const Json::Value& value)
{
    std::vector<DeltaOffer> deltas;
    if (!value.isArray())
        return deltas;
    for (const Json::Value& entry : value) {
        if (!entry.isObject() || !entry["DownloadUrl"].isString() || !entry["FromVersion"].isString())
            continue;
        DeltaOffer offer;
        offer.fromVersion = TextOf(entry["FromVersion"]);
        offer.downloadUrl = TextOf(entry["DownloadUrl"]);
        offer.proof.sha256 = OptionalTextOf(entry["PackageSha256"]);
        offer.proof.signature = OptionalTextOf(entry["PackageSignature"]);
        if (!offer.downloadUrl.empty())
            deltas.push_back(offer);
    }
    return deltas;
}

} // namespace

std::string VersionServiceAddress(int oemId)
{
    char id[16] = {};
    snprintf(id, sizeof(id), "%d", oemId);
    return std::string("https://") + KESTREL_SERVICE_HOST + ":1011/v1/oem/clientVersion?oemId=" + id;
}

VersionAnswer ParseVersionAnswer(const std::string& body)
{
    // JsonCpp reports members of unexpected types (and nesting beyond its
    // limit) by throwing; such an answer counts as one that is not JSON.
    try {
        // Some servers and editors put a UTF-8 byte-order mark in front.
        size_t start = body.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        Json::Reader reader;
        Json::Value root;
        if (!reader.parse(body.data() + start, body.data() + body.size(), root))
            return VersionAnswer();
        VersionAnswer answer;
        answer.code = root["Code"].asInt();
        if (answer.code == 0) {
            const Json::Value& data = root["Data"];
            answer.latestVersion = TextOf(data["LatestVersion"]);
            answer.updateContent = TextOf(data["UpdateContent"]);
            answer.downloadUrl = TextOf(data["DownloadUrl"]);
            answer.packageProof.sha256 = OptionalTextOf(data["PackageSha256"]);
            answer.packageProof.signature = OptionalTextOf(data["PackageSignature"]);
            answer.deltas = DeltasOf(data["Deltas"]);
        } else {
            answer.message = TextOf(root["Msg"]);
        }
        return answer;
    } catch (const std::exception&) {
        return VersionAnswer();
    }
}

const DeltaOffer* DeltaFor(const VersionAnswer& answer, const std::wstring& installed)
{
    if (installed.empty())
        return nullptr;
    int have[4] = {};
    ReadVersion(installed, have);
    for (const DeltaOffer& offer : answer.deltas) {
        int from[4] = {};
        ReadVersion(offer.fromVersion, from);
        if (!offer.fromVersion.empty() && std::equal(have, have + 4, from))
            return &offer;
    }
    return nullptr;
}

std::wstring Utf8ToWide(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    int length = static_cast<int>(bytes.size());
    int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length,
                                         nullptr, 0);
    if (wideLength <= 0) {
        printf("bad conversion\n");
        fflush(stdout);
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, &wide[0], wideLength);
    return wide;
}

bool IsUpgradeDue(const std::wstring& installed, const std::wstring& latest)
{
    if (installed.empty() || latest.empty())
        return true;
    int have[4] = {};
    int offered[4] = {};
    ReadVersion(installed, have);
    ReadVersion(latest, offered);
    for (int i = 0; i < 4; ++i) {
        if (have[i] != offered[i])
            return have[i] < offered[i];
    }
    return false;
}
