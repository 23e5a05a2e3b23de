// Extraction time of the skin zip reader for one large deflated entry,
// against zlib's own raw inflate over the same compressed bytes.
// Usage: bench_zip ARCHIVE (an archive whose first entry is the deflated one)
#include "ui/core/zip_reader.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <zlib.h>

namespace {

const int kRounds = 9;

std::vector<unsigned char> ReadWhole(const wchar_t* path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool InflateReference(const unsigned char* data, size_t size, std::vector<unsigned char>& out)
{
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int status = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::vector<unsigned char> archive = ReadWhole(argv[1]);
    std::unique_ptr<SkinUI::CZipReader> zip = SkinUI::CZipReader::OpenMemory(archive.data(), archive.size());
    SkinUI::TZipEntry entry;
    if (!zip || zip->GetItem(0, &entry) != SkinUI::kZipOk) {
        fprintf(stderr, "cannot open the archive\n");
        return 1;
    }
    // The first entry's data follows its local header at offset 0.
    const unsigned char* local = archive.data();
    size_t dataStart = 30 + (local[26] | local[27] << 8) + (local[28] | local[29] << 8);
    std::vector<unsigned char> ours(entry.uncompressedSize);
    std::vector<unsigned char> reference(entry.uncompressedSize);

    double ourBest = 1e9;
    double zlibBest = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        unsigned result = zip->UnzipItem(0, ours.data(), ours.size());
        double took = Now() - start;
        if (result != SkinUI::kZipOk) {
            fprintf(stderr, "extraction failed: 0x%x\n", result);
            return 1;
        }
        ourBest = took < ourBest ? took : ourBest;

        start = Now();
        bool inflated = InflateReference(archive.data() + dataStart, entry.compressedSize, reference);
        took = Now() - start;
        if (!inflated) {
            fprintf(stderr, "reference inflate failed\n");
            return 1;
        }
        zlibBest = took < zlibBest ? took : zlibBest;
    }
    if (ours != reference) {
        fprintf(stderr, "outputs differ\n");
        return 1;
    }
    // The reader's extra work: the CRC-32 that the reference skips.
    double start = Now();
    volatile uLong crc = crc32(0, ours.data(), static_cast<uInt>(ours.size()));
    double crcTime = Now() - start;
    (void)crc;
    fprintf(stderr, "entry %.1f MB (%.1f MB deflated), best of %d: reader %.1f ms, zlib inflate %.1f ms, "
        "CRC-32 alone %.1f ms\n", entry.uncompressedSize / 1e6, entry.compressedSize / 1e6, kRounds, ourBest * 1e3,
        zlibBest * 1e3, crcTime * 1e3);
    printf("zip.time_ratio: %.3f\n", ourBest / zlibBest);
    return 0;
}
