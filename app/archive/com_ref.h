#pragma once

#include <windows.h>

#include "Common/MyTypes.h"

#include <utility>

namespace SevenZip::intl {

// Move-only counted reference to a COM-style object, released when it goes.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }

    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    // Takes a new reference of its own; null stays null.
    static ComRef Share(T* object)
    {
        ComRef ref;
        ref.object_ = object;
        if (object)
            object->AddRef();
        return ref;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // For out-parameters that hand over a reference.
    T** put()
    {
        reset();
        return &object_;
    }

    void reset()
    {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }

private:
    T* object_ = nullptr;
};

// The reference counting that every object handed to the library carries:
// atomic, since the library may release from its own threads.
inline ULONG IncrementReferences(LONG& count)
{
    return static_cast<ULONG>(InterlockedIncrement(&count));
}

// The references left; the object deletes itself at 0.
inline ULONG DecrementReferences(LONG& count)
{
    return static_cast<ULONG>(InterlockedDecrement(&count));
}

// IStream's seek in the library's shape.
inline HRESULT SeekStream(IStream* stream, Int64 offset, UInt32 origin, UInt64* newPosition)
{
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER position = {};
    HRESULT result = stream->Seek(move, origin, &position);
    if (newPosition)
        *newPosition = position.QuadPart;
    return result;
}

} // namespace SevenZip::intl
