#pragma once

#include <windows.h>

#include <string.h>

#include <random>
#include <string>

namespace robustness {

// A copy of the bytes that ends exactly at a no-access page.
class GuardedBlock {
public:
    explicit GuardedBlock(const std::string& bytes)
    {
        const size_t page = 4096;
        pages_ = (bytes.size() + page - 1) / page + 1;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, pages_ * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + (pages_ - 1) * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + (pages_ - 1) * page - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;

    char* data() const { return data_; }

private:
    char* base_ = nullptr;
    char* data_ = nullptr;
    size_t pages_ = 0;
};

// The same for a wide text built from narrow bytes, each byte one
// character; its terminator is the last character before the page.
class GuardedText {
public:
    explicit GuardedText(const std::string& narrow);
    const wchar_t* c_str() const { return reinterpret_cast<const wchar_t*>(block_.data()); }

private:
    static std::string Widen(const std::string& narrow);
    GuardedBlock block_;
};

// One to eight random edits: bytes changed, flipped, inserted from a list of
// markup specials, erased, repeated, the tail cut, far-reaching numbers.
std::string Mutate(const std::string& seed, std::mt19937& random);

} // namespace robustness
