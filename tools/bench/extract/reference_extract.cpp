#include "tools/bench/extract/reference_extract.h"

#include <windows.h>

#include "7zip/Archive/IArchive.h"

STDAPI CreateObject(const GUID* classId, const GUID* interfaceId, void** object);

namespace {

// The item count by which 7-Zip's Extract means every item.
constexpr UInt32 kAllItems = 0xFFFFFFFF;

// Counting and interface lookup shared by the plain objects below.
template <typename Face>
class Plain : public Face {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** object) noexcept override
    {
        if (iid != IID_IUnknown && iid != Face::Iid()) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Face*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() noexcept override { return InterlockedIncrement(&count_); }
    STDMETHOD_(ULONG, Release)() noexcept override
    {
        LONG left = InterlockedDecrement(&count_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~Plain() = default;

private:
    LONG count_ = 0;
};

struct InFace : IInStream {
    static const GUID& Iid() { return IID_IInStream; }
};
struct OutFace : ISequentialOutStream {
    static const GUID& Iid() { return IID_ISequentialOutStream; }
};
struct ExtractFace : IArchiveExtractCallback {
    static const GUID& Iid() { return IID_IArchiveExtractCallback; }
};

class FileInStream final : public Plain<InFace> {
public:
    explicit FileInStream(HANDLE file) : file_(file) {}
    STDMETHOD(Read)(void* data, UInt32 size, UInt32* processed) noexcept override
    {
        DWORD read = 0;
        BOOL ok = ReadFile(file_, data, size, &read, nullptr);
        if (processed)
            *processed = read;
        return ok ? S_OK : E_FAIL;
    }
    STDMETHOD(Seek)(Int64 offset, UInt32 origin, UInt64* position) noexcept override
    {
        LARGE_INTEGER move;
        move.QuadPart = offset;
        LARGE_INTEGER now = {};
        if (!SetFilePointerEx(file_, move, &now, origin))
            return E_FAIL;
        if (position)
            *position = static_cast<UInt64>(now.QuadPart);
        return S_OK;
    }

private:
    HANDLE file_;
};

class FileOutStream final : public Plain<OutFace> {
public:
    explicit FileOutStream(HANDLE file) : file_(file) {}
    STDMETHOD(Write)(const void* data, UInt32 size, UInt32* processed) noexcept override
    {
        DWORD written = 0;
        BOOL ok = WriteFile(file_, data, size, &written, nullptr);
        if (processed)
            *processed = written;
        return ok ? S_OK : E_FAIL;
    }

private:
    ~FileOutStream() override { CloseHandle(file_); }

    HANDLE file_;
};

class WriteCallback final : public Plain<ExtractFace> {
public:
    WriteCallback(IInArchive* reader, const std::wstring& folder) : reader_(reader), folder_(folder) {}
    STDMETHOD(SetTotal)(UInt64) noexcept override { return S_OK; }
    STDMETHOD(SetCompleted)(const UInt64*) noexcept override { return S_OK; }
    STDMETHOD(PrepareOperation)(Int32) noexcept override { return S_OK; }
    STDMETHOD(SetOperationResult)(Int32) noexcept override { return S_OK; }
    STDMETHOD(GetStream)(UInt32 index, ISequentialOutStream** stream, Int32) noexcept override
    {
        *stream = nullptr;
        PROPVARIANT path;
        PROPVARIANT folder;
        PropVariantInit(&path);
        PropVariantInit(&folder);
        reader_->GetProperty(index, kpidPath, &path);
        reader_->GetProperty(index, kpidIsDir, &folder);
        std::wstring target = folder_ + path.bstrVal;
        bool isFolder = folder.vt == VT_BOOL && folder.boolVal != VARIANT_FALSE;
        PropVariantClear(&path);
        if (isFolder) {
            CreateDirectoryW(target.c_str(), nullptr);
            return S_OK;
        }
        HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return HRESULT_FROM_WIN32(GetLastError());
        *stream = new FileOutStream(file);
        (*stream)->AddRef();
        return S_OK;
    }

private:
    IInArchive* reader_;
    std::wstring folder_;
};

GUID ReaderFor(const std::wstring& package)
{
    unsigned char id = package.size() > 4 && package.compare(package.size() - 4, 4, L".zip") == 0
        ? 0x01 : 0x07;
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, id, 0x00, 0x00}};
}

} // namespace

long ReferenceExtract(const std::wstring& package, const std::wstring& folder)
{
    HANDLE file = CreateFileW(package.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return HRESULT_FROM_WIN32(GetLastError());
    GUID classId = ReaderFor(package);
    IInArchive* reader = nullptr;
    HRESULT result = CreateObject(&classId, &IID_IInArchive, reinterpret_cast<void**>(&reader));
    if (result == S_OK) {
        auto* in = new FileInStream(file);
        in->AddRef();
        result = reader->Open(in, nullptr, nullptr);
        if (result == S_OK) {
            auto* callback = new WriteCallback(reader, folder);
            callback->AddRef();
            result = reader->Extract(nullptr, kAllItems, 0, callback);
            callback->Release();
            reader->Close();
        }
        in->Release();
        reader->Release();
    }
    CloseHandle(file);
    return result;
}
