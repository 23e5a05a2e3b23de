// Times the package check that runs between the download and the
// installation: SHA-256 over the whole package and the signature check,
// with a "PackageSha256" given as well, on a package of 100 MiB.
// Usage: bench_verify PACKAGE KEY_POINT_HEX SIGNATURE_BASE64 SHA256_HEX
// Prints upgrade.verify_ms_per_100mb, the median of the rounds scaled to
// 100 MiB, and upgrade.verify_cpu_ms_per_100mb, the thread's processor time
// likewise: on a busy machine the wall time also counts the waits for a core.

#include "app/package_check.h"
#include "app/package_key.h"
#include "ui/core/unique_handle.h"

#include <windows.h>

#include <stdint.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;
constexpr double kHundredMiB = 100.0 * 1024 * 1024;

double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

bool KeyFromHex(const std::string& hex, unsigned char (&point)[kPackageKeyBytes])
{
    unsigned char half[kSha256Bytes] = {};
    if (hex.size() != 4 * kSha256Bytes || !DecodeSha256Hex(hex.substr(0, 64), half))
        return false;
    std::copy(half, half + kSha256Bytes, point);
    if (!DecodeSha256Hex(hex.substr(64), half))
        return false;
    std::copy(half, half + kSha256Bytes, point + kSha256Bytes);
    return true;
}

double ThreadSeconds()
{
    FILETIME created;
    FILETIME ended;
    FILETIME kernel;
    FILETIME user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double MedianMsPer100MiB(std::vector<double> times, LONGLONG bytes)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] * 1000.0 * kHundredMiB / static_cast<double>(bytes);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: bench_verify PACKAGE KEY_POINT_HEX SIGNATURE_BASE64 SHA256_HEX\n");
        return 2;
    }
    unsigned char point[kPackageKeyBytes] = {};
    if (!KeyFromHex(Narrow(argv[2]), point)) {
        fprintf(stderr, "bench_verify: the key is not 128 hexadecimal digits\n");
        return 2;
    }
    PackageProof proof;
    proof.signature.state = OptionalText::State::Text;
    proof.signature.text = Narrow(argv[3]);
    proof.sha256.state = OptionalText::State::Text;
    proof.sha256.text = Narrow(argv[4]);

    SkinUI::FileHandle file(CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) {
        fprintf(stderr, "bench_verify: cannot read the package\n");
        return 1;
    }
    std::vector<double> times;
    std::vector<double> processorTimes;
    for (int round = 0; round < kRounds; ++round) {
        double start = Seconds();
        double processorStart = ThreadSeconds();
        bool genuine = PackageIsGenuine(file.get(), proof, point);
        times.push_back(Seconds() - start);
        processorTimes.push_back(ThreadSeconds() - processorStart);
        if (!genuine) {
            fprintf(stderr, "bench_verify: the package did not pass its check\n");
            return 1;
        }
    }
    printf("upgrade.verify_ms_per_100mb: %.0f\n", MedianMsPer100MiB(times, size.QuadPart));
    printf("upgrade.verify_cpu_ms_per_100mb: %.0f\n", MedianMsPer100MiB(processorTimes, size.QuadPart));
    return 0;
}
