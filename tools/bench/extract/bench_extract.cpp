// Times SevenZipExtractor::ExtractTo against the reference loop on the same
// packages, alternating the two so that both see the same cache state.
// Usage: bench_extract OUTPUT_FOLDER PACKAGE...
// Prints extract.mbps, extract.reference_mbps and extract.time_ratio.

#include "app/archive/seven_zip_extractor.h"
#include "tools/bench/extract/reference_extract.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void RemoveFolder(const std::wstring& folder)
{
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationW(&operation);
}

uint64_t UnpackedBytes(const std::wstring& package)
{
    SevenZip::SevenZipArchive archive;
    archive.SetArchiveFile(package);
    uint64_t total = 0;
    for (uint32_t size : archive.ItemSizes())
        total += size;
    return total;
}

// Seconds that one extraction of every package took, the folder emptied first.
template <typename Extract>
double TimeOnce(const std::vector<std::wstring>& packages, const std::wstring& folder, Extract extract)
{
    RemoveFolder(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    double start = Seconds();
    for (const std::wstring& package : packages) {
        long result = extract(package, folder);
        if (result != 0) {
            fprintf(stderr, "extraction failed: 0x%08lx\n", static_cast<unsigned long>(result));
            ExitProcess(1);
        }
    }
    return Seconds() - start;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bench_extract OUTPUT_FOLDER PACKAGE...\n");
        return 2;
    }
    std::wstring output = argv[1];
    std::vector<std::wstring> packages(argv + 2, argv + argc);
    uint64_t bytes = 0;
    for (const std::wstring& package : packages)
        bytes += UnpackedBytes(package);

    std::wstring ours = output + L"\\ours\\";
    std::wstring reference = output + L"\\reference\\";
    auto extractTo = [](const std::wstring& package, const std::wstring& folder) -> long {
        SevenZip::SevenZipExtractor extractor;
        extractor.SetArchiveFile(package);
        return extractor.ExtractTo(folder);
    };
    // Each round runs both back to back, in alternating order, so that a
    // change in the machine's load hits both; the ratio is the rounds' median.
    std::vector<double> oursTimes;
    std::vector<double> referenceTimes;
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            referenceTimes.push_back(TimeOnce(packages, reference, ReferenceExtract));
            oursTimes.push_back(TimeOnce(packages, ours, extractTo));
        } else {
            oursTimes.push_back(TimeOnce(packages, ours, extractTo));
            referenceTimes.push_back(TimeOnce(packages, reference, ReferenceExtract));
        }
        ratios.push_back(oursTimes.back() / referenceTimes.back());
    }
    RemoveFolder(output + L"\\ours");
    RemoveFolder(output + L"\\reference");
    std::sort(ratios.begin(), ratios.end());

    double oursBest = *std::min_element(oursTimes.begin(), oursTimes.end());
    double referenceBest = *std::min_element(referenceTimes.begin(), referenceTimes.end());
    double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    printf("extract.mbps: %.1f\n", megabytes / oursBest);
    printf("extract.reference_mbps: %.1f\n", megabytes / referenceBest);
    printf("extract.time_ratio: %.3f\n", ratios[ratios.size() / 2]);
    return 0;
}
