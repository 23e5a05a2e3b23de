#include "ui/core/zip_reader.h"

#include <string.h>

#include <string>

#include <zlib.h>

namespace SkinUI {

namespace {

const uint32_t kEndRecordSignature = 0x06054b50;
const uint32_t kDirectorySignature = 0x02014b50;
const uint32_t kLocalSignature = 0x04034b50;
const size_t kEndRecordSize = 22;
const size_t kDirectoryHeaderSize = 46;
const size_t kLocalHeaderSize = 30;
const uint16_t kStored = 0;
const uint16_t kDeflated = 8;
const uint16_t kExtendedTimestampTag = 0x5455;
const size_t kSearchStep = 1024;
// Output per inflate call: the CRC-32 then runs over data still in the cache.
const size_t kOutputStep = 256 * 1024;

uint16_t Read16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Read32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

FILETIME FromDosTime(uint16_t date, uint16_t time)
{
    FILETIME local = {};
    FILETIME utc = {};
    if (DosDateTimeToFileTime(date, time, &local))
        LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

FILETIME FromUnixTime(uint32_t seconds)
{
    ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ULL) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// The extended timestamp ("UT") of an extra field, when present, overrides
// the DOS time.
void ApplyExtendedTimestamp(const unsigned char* extra, size_t length, TZipEntry& entry)
{
    size_t position = 0;
    while (position + 4 <= length) {
        uint16_t tag = Read16(extra + position);
        size_t size = Read16(extra + position + 2);
        const unsigned char* data = extra + position + 4;
        position += 4 + size;
        if (position > length)
            return;
        if (tag != kExtendedTimestampTag || size < 1)
            continue;
        unsigned flags = data[0];
        size_t offset = 1;
        FILETIME* times[] = {&entry.modifyTime, &entry.accessTime, &entry.createTime};
        for (unsigned bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (offset + 4 > size)
                return;
            *times[bit] = FromUnixTime(Read32(data + offset));
            offset += 4;
        }
        return;
    }
}

DWORD AttributesOf(const unsigned char* record)
{
    unsigned madeBy = record[5];
    uint32_t external = Read32(record + 38);
    if (madeBy != 3)
        return external & 0xFF;
    // Unix hosts keep the file mode in the high half.
    unsigned mode = external >> 16;
    DWORD attributes = (mode & 0170000) == 0040000 ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(mode & 0200))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

unsigned char FoldAscii(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

struct CZipReader::Extraction {
    int index = -1;
    uint16_t method = kStored;
    uint32_t expectedCrc = 0;
    uint32_t expectedSize = 0;
    uint64_t position = 0;
    uint64_t remaining = 0;
    uint32_t crc = 0;
    uint64_t produced = 0;
    bool inflating = false;
    z_stream stream = {};
    unsigned char input[kChunkSize];
};

CZipReader::CZipReader() = default;

CZipReader::~CZipReader()
{
    EndExtraction();
}

std::unique_ptr<CZipReader> CZipReader::OpenFile(const wchar_t* path, unsigned* result)
{
    std::unique_ptr<CZipReader> reader(new CZipReader);
    unsigned code = kZipNoFile;
    if (path) {
        reader->file_.reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    LARGE_INTEGER size = {};
    if (!reader->file_)
        code = kZipNoFile;
    else if (GetFileType(reader->file_.get()) != FILE_TYPE_DISK)
        code = kZipNotSeekable;
    else if (!GetFileSizeEx(reader->file_.get(), &size))
        code = kZipRead;
    else {
        reader->size_ = static_cast<uint64_t>(size.QuadPart);
        code = reader->Open();
    }
    if (result)
        *result = code;
    if (code != kZipOk)
        reader.reset();
    return reader;
}

std::unique_ptr<CZipReader> CZipReader::OpenMemory(const void* data, size_t length, unsigned* result)
{
    std::unique_ptr<CZipReader> reader(new CZipReader);
    unsigned code = kZipArgs;
    if (data) {
        reader->memory_ = static_cast<const unsigned char*>(data);
        reader->size_ = length;
        code = reader->Open();
    }
    if (result)
        *result = code;
    if (code != kZipOk)
        reader.reset();
    return reader;
}

bool CZipReader::ReadAt(uint64_t position, void* out, size_t bytes)
{
    if (position > size_ || bytes > size_ - position)
        return false;
    if (memory_) {
        memcpy(out, memory_ + position, bytes);
        return true;
    }
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN))
        return false;
    unsigned char* target = static_cast<unsigned char*>(out);
    while (bytes > 0) {
        DWORD wanted = bytes > kChunkSize ? static_cast<DWORD>(kChunkSize) : static_cast<DWORD>(bytes);
        DWORD got = 0;
        if (!ReadFile(file_.get(), target, wanted, &got, nullptr) || got != wanted)
            return false;
        target += got;
        bytes -= got;
    }
    return true;
}

// Searches backwards over at most the last 65,535 bytes, 1,024 at a time,
// each read 4 bytes longer so that a signature across a step is seen.
unsigned CZipReader::LocateDirectory(uint64_t& endRecord)
{
    uint64_t maxBack = size_ < kMaxEndRecordSearch ? size_ : kMaxEndRecordSearch;
    unsigned char window[kSearchStep + 4];
    uint64_t back = 4;
    while (back < maxBack) {
        back = back + kSearchStep > maxBack ? maxBack : back + kSearchStep;
        uint64_t start = size_ - back;
        size_t length = static_cast<size_t>(back < kSearchStep + 4 ? back : kSearchStep + 4);
        if (!ReadAt(start, window, length))
            return kZipRead;
        for (size_t i = length - 3; i-- > 0;) {
            if (Read32(window + i) == kEndRecordSignature) {
                endRecord = start + i;
                return kZipOk;
            }
        }
    }
    return kZipCorrupt;
}

unsigned CZipReader::Open()
{
    uint64_t endRecord = 0;
    unsigned code = LocateDirectory(endRecord);
    if (code != kZipOk)
        return code;
    unsigned char record[kEndRecordSize];
    if (!ReadAt(endRecord, record, sizeof(record)))
        return kZipRead;
    uint16_t disk = Read16(record + 4);
    uint16_t directoryDisk = Read16(record + 6);
    uint16_t entriesHere = Read16(record + 8);
    uint16_t entries = Read16(record + 10);
    uint32_t directorySize = Read32(record + 12);
    uint32_t directoryOffset = Read32(record + 16);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
        return kZipCorrupt;
    // Data prepended to the archive (a stub, an installer) shifts every
    // recorded position by the same amount.
    uint64_t recorded = static_cast<uint64_t>(directoryOffset) + directorySize;
    if (endRecord < recorded)
        return kZipCorrupt;
    base_ = endRecord - recorded;
    return LoadDirectory(base_ + directoryOffset, directorySize, entries);
}

// Keeps the directory in memory and indexes the records that are whole;
// the walk stops at the first damaged one.
unsigned CZipReader::LoadDirectory(uint64_t directoryStart, uint32_t directorySize, uint16_t entries)
{
    if (memory_) {
        directory_ = memory_ + directoryStart;
    } else {
        directoryCopy_.resize(directorySize);
        if (directorySize && !ReadAt(directoryStart, directoryCopy_.data(), directorySize))
            return kZipRead;
        directory_ = directoryCopy_.data();
    }
    directorySize_ = directorySize;
    size_t offset = 0;
    for (uint16_t i = 0; i < entries; ++i) {
        if (directorySize_ - offset < kDirectoryHeaderSize)
            break;
        const unsigned char* header = directory_ + offset;
        if (Read32(header) != kDirectorySignature)
            break;
        size_t length = kDirectoryHeaderSize + Read16(header + 28) + Read16(header + 30) + Read16(header + 32);
        if (directorySize_ - offset < length)
            break;
        entryOffsets_.push_back(static_cast<uint32_t>(offset));
        offset += length;
    }
    return kZipOk;
}

const unsigned char* CZipReader::DirectoryRecord(int index) const
{
    return directory_ + entryOffsets_[static_cast<size_t>(index)];
}

unsigned CZipReader::GetItem(int index, TZipEntry* entry)
{
    if (index < 0 || index >= ItemCount() || !entry)
        return Result(kZipArgs);
    const unsigned char* record = DirectoryRecord(index);
    uint16_t nameLength = Read16(record + 28);
    uint16_t extraLength = Read16(record + 30);
    *entry = TZipEntry();
    entry->index = index;
    if (nameLength > 0) {
        const char* name = reinterpret_cast<const char*>(record + kDirectoryHeaderSize);
        int wide = MultiByteToWideChar(CP_ACP, 0, name, nameLength, nullptr, 0);
        std::wstring converted(static_cast<size_t>(wide), L'\0');
        if (wide > 0)
            MultiByteToWideChar(CP_ACP, 0, name, nameLength, &converted[0], wide);
        wcsncpy(entry->name, converted.c_str(), MAX_PATH - 1);
    }
    entry->attributes = AttributesOf(record);
    entry->compressedSize = Read32(record + 20);
    entry->uncompressedSize = Read32(record + 24);
    entry->modifyTime = FromDosTime(Read16(record + 14), Read16(record + 12));
    entry->accessTime = entry->modifyTime;
    entry->createTime = entry->modifyTime;
    ApplyExtendedTimestamp(record + kDirectoryHeaderSize + nameLength, extraLength, *entry);
    return Result(kZipOk);
}

unsigned CZipReader::FindItem(const wchar_t* name, bool ignoreCase, int* index, TZipEntry* entry)
{
    if (!name || wcslen(name) >= static_cast<size_t>(kMaxNameLength))
        return Result(kZipArgs);
    char wanted[kMaxNameLength * 4];
    int length = WideCharToMultiByte(CP_ACP, 0, name, -1, wanted, sizeof(wanted), nullptr, nullptr);
    if (length <= 0)
        return Result(kZipArgs);
    --length;
    for (int i = 0; i < length; ++i) {
        if (wanted[i] == '\\')
            wanted[i] = '/';
    }
    for (int i = 0; i < ItemCount(); ++i) {
        const unsigned char* record = DirectoryRecord(i);
        if (Read16(record + 28) != length)
            continue;
        const unsigned char* stored = record + kDirectoryHeaderSize;
        const unsigned char* sought = reinterpret_cast<const unsigned char*>(wanted);
        int k = 0;
        if (ignoreCase) {
            while (k < length && FoldAscii(stored[k]) == FoldAscii(sought[k]))
                ++k;
        } else {
            while (k < length && stored[k] == sought[k])
                ++k;
        }
        if (k != length)
            continue;
        if (index)
            *index = i;
        if (entry)
            GetItem(i, entry);
        return Result(kZipOk);
    }
    if (index)
        *index = -1;
    return Result(kZipNotFound);
}

void CZipReader::EndExtraction()
{
    if (extraction_ && extraction_->inflating)
        inflateEnd(&extraction_->stream);
    extraction_.reset();
}

unsigned CZipReader::StartExtraction(int index)
{
    EndExtraction();
    const unsigned char* record = DirectoryRecord(index);
    uint16_t method = Read16(record + 10);
    unsigned char local[kLocalHeaderSize];
    uint64_t localStart = base_ + Read32(record + 42);
    if (!ReadAt(localStart, local, sizeof(local)))
        return kZipRead;
    if (Read32(local) != kLocalSignature || Read16(local + 8) != method
        || (method != kStored && method != kDeflated))
        return kZipCorrupt;
    uint64_t dataStart = localStart + kLocalHeaderSize + Read16(local + 26) + Read16(local + 28);
    uint32_t compressed = Read32(record + 20);
    if (dataStart > size_ || compressed > size_ - dataStart)
        return kZipRead;

    std::unique_ptr<Extraction> extraction(new Extraction);
    extraction->index = index;
    extraction->method = method;
    extraction->expectedCrc = Read32(record + 16);
    extraction->expectedSize = Read32(record + 24);
    extraction->position = dataStart;
    extraction->remaining = compressed;
    extraction->crc = crc32(0, Z_NULL, 0);
    if (method == kDeflated) {
        // Raw deflate: zip entries carry no zlib header.
        if (inflateInit2(&extraction->stream, -MAX_WBITS) != Z_OK)
            return kZipFlate;
        extraction->inflating = true;
    }
    extraction_ = std::move(extraction);
    return kZipOk;
}

// The next chunk of compressed data: a file is read 16 KiB at a time; a
// memory archive hands inflate all of the entry at once, since every
// return from inflate costs a copy of up to 32 KiB into its window.
bool CZipReader::FillInput()
{
    Extraction& x = *extraction_;
    size_t limit = memory_ ? 0x40000000 : kChunkSize;
    size_t chunk = x.remaining > limit ? limit : static_cast<size_t>(x.remaining);
    if (memory_) {
        x.stream.next_in = const_cast<Bytef*>(memory_ + x.position);
    } else {
        if (!ReadAt(x.position, x.input, chunk))
            return false;
        x.stream.next_in = x.input;
    }
    x.stream.avail_in = static_cast<uInt>(chunk);
    x.position += chunk;
    x.remaining -= chunk;
    return true;
}

// An entry is good data only when its length and CRC-32 match the directory.
unsigned CZipReader::FinishExtraction()
{
    Extraction& x = *extraction_;
    bool intact = x.produced == x.expectedSize && x.crc == x.expectedCrc;
    EndExtraction();
    return intact ? kZipOk : kZipFlate;
}

unsigned CZipReader::ContinueStored(unsigned char* out, size_t size)
{
    Extraction& x = *extraction_;
    size_t done = 0;
    while (x.remaining > 0) {
        if (done == size)
            return x.produced >= x.expectedSize ? kZipFlate : kZipMore;
        size_t room = size - done;
        size_t chunk = x.remaining > kChunkSize ? kChunkSize : static_cast<size_t>(x.remaining);
        if (chunk > room)
            chunk = room;
        if (!ReadAt(x.position, out + done, chunk))
            return kZipRead;
        x.crc = crc32(x.crc, out + done, static_cast<uInt>(chunk));
        x.position += chunk;
        x.remaining -= chunk;
        x.produced += chunk;
        done += chunk;
    }
    return FinishExtraction();
}

unsigned CZipReader::ContinueDeflated(unsigned char* out, size_t size)
{
    Extraction& x = *extraction_;
    z_stream& stream = x.stream;
    size_t done = 0;
    for (;;) {
        if (stream.avail_in == 0 && x.remaining > 0 && !FillInput())
            return kZipRead;
        size_t room = size - done;
        uInt window = room > kOutputStep ? static_cast<uInt>(kOutputStep) : static_cast<uInt>(room);
        stream.next_out = out + done;
        stream.avail_out = window;
        int status = inflate(&stream, Z_NO_FLUSH);
        size_t made = window - stream.avail_out;
        if (made > 0)
            x.crc = crc32(x.crc, out + done, static_cast<uInt>(made));
        x.produced += made;
        done += made;
        if (status == Z_STREAM_END)
            return FinishExtraction();
        if (x.produced > x.expectedSize)
            return kZipFlate;
        if (status == Z_OK)
            continue;
        if (status != Z_BUF_ERROR)
            return kZipFlate;
        // With no room left inflate still takes what needs no output (the
        // end of the stream), so a stop here means more output is pending:
        // past the recorded size that is damage, not more data.
        if (done == size)
            return x.produced >= x.expectedSize ? kZipFlate : kZipMore;
        if (stream.avail_out == 0)
            continue;
        if (stream.avail_in > 0 || x.remaining == 0)
            return kZipFlate;
    }
}

unsigned CZipReader::UnzipItem(int index, void* buffer, size_t size)
{
    if (index < 0 || index >= ItemCount() || (!buffer && size > 0))
        return Result(kZipArgs);
    if (!extraction_ || extraction_->index != index) {
        unsigned code = StartExtraction(index);
        if (code != kZipOk) {
            EndExtraction();
            return Result(code);
        }
    }
    unsigned char none = 0;
    unsigned char* out = buffer ? static_cast<unsigned char*>(buffer) : &none;
    unsigned code = extraction_->method == kStored ? ContinueStored(out, size) : ContinueDeflated(out, size);
    if (code != kZipMore)
        EndExtraction();
    return Result(code);
}

} // namespace SkinUI
