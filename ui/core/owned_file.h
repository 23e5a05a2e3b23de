#pragma once

#include <windows.h>

#include <utility>

namespace SkinUI {

// Owns a file handle from CreateFileW. unique_handle.h cannot serve here:
// INVALID_HANDLE_VALUE is no constant expression for a template argument.
class COwnedFile {
public:
    COwnedFile() = default;
    explicit COwnedFile(HANDLE handle) : handle_(handle) {}
    ~COwnedFile() { reset(); }
    COwnedFile(const COwnedFile&) = delete;
    COwnedFile& operator=(const COwnedFile&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        HANDLE old = std::exchange(handle_, handle);
        if (old != INVALID_HANDLE_VALUE)
            CloseHandle(old);
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace SkinUI
