#include "app/file_view.h"

namespace {

DWORD AllocationGranularity()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return info.dwAllocationGranularity;
}

} // namespace

FileView::~FileView()
{
    if (base_)
        UnmapViewOfFile(base_);
}

bool FileView::Open(HANDLE file, uint64_t offset, size_t size)
{
    if (size == 0)
        return true;
    LARGE_INTEGER fileSize = {};
    if (!GetFileSizeEx(file, &fileSize) || offset > static_cast<uint64_t>(fileSize.QuadPart)
        || size > static_cast<uint64_t>(fileSize.QuadPart) - offset)
        return false;
    mapping_.reset(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_)
        return false;
    // Views start on the allocation granularity; the range sits inside one.
    uint64_t start = offset - offset % AllocationGranularity();
    size_t lead = static_cast<size_t>(offset - start);
    if (size > SIZE_MAX - lead)
        return false;
    base_ = MapViewOfFile(mapping_.get(), FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                          static_cast<DWORD>(start), lead + size);
    if (!base_)
        return false;
    data_ = static_cast<const unsigned char*>(base_) + lead;
    size_ = size;
    return true;
}

FileWriteView::~FileWriteView()
{
    Close();
}

bool FileWriteView::Create(const std::wstring& path, size_t size)
{
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        return false;
    size_ = size;
    if (size == 0)
        return true;
    uint64_t wide = size;
    mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READWRITE,
                                      static_cast<DWORD>(wide >> 32), static_cast<DWORD>(wide),
                                      nullptr));
    if (!mapping_)
        return false;
    data_ = static_cast<unsigned char*>(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, size));
    return data_ != nullptr;
}

bool FileWriteView::Close()
{
    bool flushed = true;
    if (data_) {
        flushed = FlushViewOfFile(data_, 0) != 0;
        flushed = UnmapViewOfFile(data_) != 0 && flushed;
        data_ = nullptr;
    }
    mapping_.reset();
    file_.reset();
    return flushed;
}
