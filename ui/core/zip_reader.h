#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <vector>

namespace SkinUI {

// Result codes of the zip reader.
const unsigned kZipOk = 0;
const unsigned kZipNoFile = 0x200;
const unsigned kZipNotFound = 0x500;
const unsigned kZipMore = 0x600;
const unsigned kZipCorrupt = 0x700;
const unsigned kZipRead = 0x800;
const unsigned kZipArgs = 0x10000;
const unsigned kZipWrongKind = 0x80000;
const unsigned kZipAlreadyOpen = 0x1000000;
const unsigned kZipNotSeekable = 0x2000000;
const unsigned kZipFlate = 0x5000000;

// One central-directory record as the reader hands it out.
struct TZipEntry {
    int index = -1;
    wchar_t name[MAX_PATH] = {};
    DWORD attributes = 0;
    FILETIME accessTime = {};
    FILETIME createTime = {};
    FILETIME modifyTime = {};
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
};

// Reads single-volume zip archives (stored and deflated entries) from a
// file or from a caller's memory block, which it never reads past.
class CZipReader {
public:
    static const size_t kChunkSize = 16384;
    static const uint32_t kMaxEndRecordSearch = 65535;
    static const int kMaxNameLength = 256;

    // Null on failure; result (optional) receives the reason.
    static std::unique_ptr<CZipReader> OpenFile(const wchar_t* path, unsigned* result = nullptr);
    // The block is not copied: it must outlive the reader.
    static std::unique_ptr<CZipReader> OpenMemory(const void* data, size_t length, unsigned* result = nullptr);
    ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    int ItemCount() const { return static_cast<int>(entryOffsets_.size()); }
    unsigned FindItem(const wchar_t* name, bool ignoreCase, int* index, TZipEntry* entry);
    unsigned GetItem(int index, TZipEntry* entry);
    // kZipOk when the entry ended within the buffer (its size and CRC-32
    // checked), kZipMore when the buffer is full and data remains; the next
    // call with the same index goes on where this one stopped.
    unsigned UnzipItem(int index, void* buffer, size_t size);
    unsigned LastResult() const { return lastResult_; }

private:
    struct Extraction;

    CZipReader();
    unsigned Open();
    bool ReadAt(uint64_t position, void* out, size_t bytes);
    unsigned LocateDirectory(uint64_t& endRecord);
    unsigned LoadDirectory(uint64_t directoryStart, uint32_t directorySize, uint16_t entries);
    const unsigned char* DirectoryRecord(int index) const;
    unsigned StartExtraction(int index);
    unsigned ContinueStored(unsigned char* out, size_t size);
    unsigned ContinueDeflated(unsigned char* out, size_t size);
    bool FillInput();
    unsigned FinishExtraction();
    void EndExtraction();
    unsigned Result(unsigned code) { return lastResult_ = code; }

    FileHandle file_;
    const unsigned char* memory_ = nullptr;
    uint64_t size_ = 0;
    uint64_t base_ = 0;
    std::vector<unsigned char> directoryCopy_;
    const unsigned char* directory_ = nullptr;
    size_t directorySize_ = 0;
    std::vector<uint32_t> entryOffsets_;
    std::unique_ptr<Extraction> extraction_;
    unsigned lastResult_ = kZipOk;
};

} // namespace SkinUI
