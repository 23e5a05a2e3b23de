#pragma once

#include "ui/core/unique_handle.h"

#include <windows.h>

#include <stdint.h>

#include <string>

// Files seen through memory mappings, so that a patch reads its base and
// writes its result without either being copied into the heap: the pages
// belong to the file cache, and private memory stays small however large
// the files are.

// A read-only view of bytes [offset, offset + size) of an open file. An
// empty range is a valid view with no data.
class FileView {
public:
    FileView() = default;
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;
    ~FileView();

    bool Open(HANDLE file, uint64_t offset, size_t size);
    const unsigned char* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    SkinUI::KernelHandle mapping_;
    void* base_ = nullptr;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

// A new file of a fixed size, written through a writable view. The file
// exists from Create on.
class FileWriteView {
public:
    FileWriteView() = default;
    FileWriteView(const FileWriteView&) = delete;
    FileWriteView& operator=(const FileWriteView&) = delete;
    ~FileWriteView();

    // Creates path (which must not exist) with size bytes.
    bool Create(const std::wstring& path, size_t size);
    unsigned char* Data() const { return data_; }
    size_t Size() const { return size_; }
    // Unmaps and closes; false when the bytes may not have reached the file.
    bool Close();

private:
    SkinUI::FileHandle file_;
    SkinUI::KernelHandle mapping_;
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};
