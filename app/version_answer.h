#pragma once

#include <string>
#include <vector>

// A member the answer may leave out. Its bytes are kept as sent: the
// texts it carries are checked by those who use them.
struct OptionalText {
    enum class State { Absent, Text, WrongType };
    State state = State::Absent;
    std::string text;
};

// What vouches for the upgrade package: "PackageSha256" and "PackageSignature".
struct PackageProof {
    OptionalText sha256;
    OptionalText signature;
};

// One member of "Deltas": what turns the installed release "FromVersion"
// into the latest, proved like the package.
struct DeltaOffer {
    std::wstring fromVersion;
    std::wstring downloadUrl;
    PackageProof proof;
};

// The version service's answer, decoded; fields not read keep their
// initial values (code 0, empty strings, absent members).
struct VersionAnswer {
    int code = 0;
    std::wstring latestVersion;
    std::wstring updateContent;
    std::wstring downloadUrl;
    std::wstring message;
    PackageProof packageProof;
    // Entries without a text "DownloadUrl" are left out.
    std::vector<DeltaOffer> deltas;
};

// The address that asks the version service about this OEM identifier.
std::string VersionServiceAddress(int oemId);

// Decodes the answer body; a leading UTF-8 byte-order mark is skipped. A
// body that is not JSON, or whose members have other types than the service
// sends, gives the empty answer.
VersionAnswer ParseVersionAnswer(const std::string& body);

// The delta whose "FromVersion" is the installed version, number by
// number; null when there is none or the installed version is unknown.
const DeltaOffer* DeltaFor(const VersionAnswer& answer, const std::wstring& installed);

// UTF-8 to UTF-16; empty, with the line "bad conversion" on standard output,
// when the bytes are not well-formed UTF-8.
std::wstring Utf8ToWide(const std::string& bytes);

// True when either version is empty or installed < latest, comparing the
// four numbers of "%d.%d.%d.%d" one by one.
bool IsUpgradeDue(const std::wstring& installed, const std::wstring& latest);
