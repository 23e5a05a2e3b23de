#pragma once

#include <windows.h>

#include "Common/MyTypes.h"
#include "ui/core/com_ref.h"

namespace SevenZip::intl {

using SkinUI::ComRef;

// The identity and count every object handed to the library carries. The
// count is atomic, since the library may release from its own threads; the
// object deletes itself when the last reference goes.
template <typename... Interfaces>
class CountedObject : public Interfaces... {
public:
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) noexcept override
    {
        if (!object)
            return E_POINTER;
        *object = InterfaceFor(iid);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    STDMETHOD_(ULONG, AddRef)() noexcept override
    {
        return static_cast<ULONG>(InterlockedIncrement(&count_));
    }

    STDMETHOD_(ULONG, Release)() noexcept override
    {
        ULONG left = static_cast<ULONG>(InterlockedDecrement(&count_));
        if (left == 0)
            delete this;
        return left;
    }

protected:
    CountedObject() = default;
    virtual ~CountedObject() = default;

    // The object as the interface iid names, or null when it is not one.
    virtual void* InterfaceFor(REFIID iid) noexcept = 0;

private:
    LONG count_ = 0;
};

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
