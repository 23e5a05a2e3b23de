#pragma once

#include "app/archive/archive_format.h"

#include <cstdint>

struct IInArchive;
#include <string>
#include <vector>

namespace SevenZip {

// An upgrade package read through the 7-Zip library: which of the five
// formats it is and the paths of its items. Metadata is loaded on first
// demand; a failed load is tried again by the next query. Not thread-safe:
// one object belongs to one thread.
class SevenZipArchive {
public:
    SevenZipArchive() = default;
    virtual ~SevenZipArchive() = default;
    SevenZipArchive(const SevenZipArchive&) = delete;
    SevenZipArchive& operator=(const SevenZipArchive&) = delete;

    // Remembers the package's full path; always true.
    virtual bool SetArchiveFile(const std::wstring& path);
    // Detects the format (unless forced) and lists the items; true when both succeeded.
    virtual bool LoadMetadata();
    // Uses format from now on without detection; the next query loads again.
    virtual void ForceFormat(ArchiveFormat format);
    virtual ArchiveFormat QueryFormat();
    virtual void SetLevel(int32_t level);
    virtual int32_t QueryLevel();
    // Detects the format afresh, dropping a forced one; true when a reader accepted the file.
    virtual bool ProbeFormat();
    virtual uint32_t ItemCount();
    // Item paths as the reader reports them, relative, "\" or "/" separated;
    // empty for an item without a path. Not yet checked to be safe as paths.
    virtual std::vector<std::wstring> ItemNames();
    // Low 32 bits of each item's unpacked size.
    virtual std::vector<uint32_t> ItemSizes();
    // Whether each item is a folder entry.
    virtual std::vector<bool> ItemFolders();

protected:
    const std::wstring& ArchivePath() const { return archivePath_; }
    ArchiveFormat CurrentFormat() const { return format_; }

private:
    bool DetectFormat();
    bool ListItems();
    bool ReadItem(IInArchive* reader, uint32_t index);
    void EnsureMetadata();

    bool metadataLoaded_ = false;
    bool formatForced_ = false;
    std::wstring archivePath_;
    ArchiveFormat format_ = Format7z;
    int32_t level_ = 0;
    uint32_t itemCount_ = 0;
    std::vector<std::wstring> itemNames_;
    std::vector<uint32_t> itemSizes_;
    std::vector<bool> itemFolders_;
};

} // namespace SevenZip
