#include "app/archive/archive_extract_callback.h"

#include "app/archive/com_ref.h"

#include "ui/core/unique_handle.h"

#include "app/archive/archive_files.h"
#include "app/archive/archive_property.h"
#include "app/archive/extract_trace.h"
#include "app/archive/out_stream_wrapper.h"
#include "app/safe_path.h"
#include "ui/core/unique_handle.h"

#include "7zip/PropID.h"

#include <new>

namespace SevenZip::intl {

namespace {

// The bare Win32 code, deliberately not wrapped as an HRESULT.
constexpr HRESULT kCreateFailed = ERROR_CREATE_FAILED;

// A Win32 error of 0 would read as success, so it becomes E_FAIL.
HRESULT LastErrorResult()
{
    DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// What Extract returns for an item whose data the reader found broken.
HRESULT ItemFailure(Int32 result)
{
    using namespace NArchive::NExtract::NOperationResult;
    switch (result) {
    case kUnsupportedMethod: return E_NOTIMPL;
    case kCRCError:
    case kDataError: return HRESULT_FROM_WIN32(ERROR_CRC);
    case kUnexpectedEnd: return HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
    case kWrongPassword: return E_ABORT;
    default: return E_FAIL;
    }
}

HRESULT ReadBool(IInArchive* reader, UInt32 index, PROPID id, bool& value)
{
    PropValue prop;
    HRESULT result = reader->GetProperty(index, id, &prop.value);
    if (result != S_OK)
        return result;
    if (prop.value.vt == VT_EMPTY) {
        value = false;
        return S_OK;
    }
    if (prop.value.vt != VT_BOOL)
        return E_FAIL;
    value = prop.value.boolVal != VARIANT_FALSE;
    return S_OK;
}

HRESULT ReadAttributes(IInArchive* reader, UInt32 index, bool& has, UInt32& value)
{
    PropValue prop;
    HRESULT result = reader->GetProperty(index, kpidAttrib, &prop.value);
    if (result != S_OK)
        return result;
    has = prop.value.vt == VT_UI4;
    if (has)
        value = prop.value.ulVal;
    return has || prop.value.vt == VT_EMPTY ? S_OK : E_FAIL;
}

HRESULT ReadTime(IInArchive* reader, UInt32 index, PROPID id, bool& has, FILETIME& value)
{
    PropValue prop;
    HRESULT result = reader->GetProperty(index, id, &prop.value);
    if (result != S_OK)
        return result;
    has = prop.value.vt == VT_FILETIME;
    if (has)
        value = prop.value.filetime;
    return has || prop.value.vt == VT_EMPTY ? S_OK : E_FAIL;
}

HRESULT ReadSize(IInArchive* reader, UInt32 index, bool& has, UInt64& value)
{
    PropValue prop;
    HRESULT result = reader->GetProperty(index, kpidSize, &prop.value);
    if (result != S_OK)
        return result;
    uint64_t size = 0;
    has = AsSize(prop.value, size);
    if (has)
        value = size;
    return has || prop.value.vt == VT_EMPTY ? S_OK : E_FAIL;
}

LARGE_INTEGER AsLargeInteger(const FILETIME& time)
{
    LARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return value;
}

std::wstring WithTrailingSeparator(const std::wstring& folder)
{
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        return folder;
    return folder + L'\\';
}

} // namespace

ArchiveExtractCallback::ArchiveExtractCallback(IInArchive* reader, const std::wstring& folder,
                                               std::vector<std::wstring>& written)
    : reader_(ComRef<IInArchive>::Share(reader)),
      folder_(WithTrailingSeparator(folder)),
      written_(written)
{
}

void* ArchiveExtractCallback::InterfaceFor(REFIID iid) noexcept
{
    if (iid == IID_IUnknown || iid == IID_IArchiveExtractCallback)
        return static_cast<IArchiveExtractCallback*>(this);
    if (iid == IID_ICryptoGetTextPassword)
        return static_cast<ICryptoGetTextPassword*>(this);
    if (iid == IID_ICompressProgressInfo)
        return static_cast<ICompressProgressInfo*>(this);
    return nullptr;
}

STDMETHODIMP ArchiveExtractCallback::SetTotal(UInt64 total) noexcept
{
    total_ = total;
    return S_OK;
}

STDMETHODIMP ArchiveExtractCallback::SetCompleted(const UInt64*) noexcept
{
    return S_OK;
}

STDMETHODIMP ArchiveExtractCallback::GetStream(UInt32 index, ISequentialOutStream** stream,
                                               Int32 askMode) noexcept
{
    if (!stream)
        return E_POINTER;
    *stream = nullptr;
    // A skipped item must not inherit the previous item's target.
    targetPath_.clear();
    fileUnfinished_ = false;
    HRESULT result = ReadPath(index);
    if (result == S_OK && askMode != NArchive::NExtract::NAskMode::kExtract)
        return S_OK;
    if (result == S_OK)
        result = ReadProperties(index);
    if (result != S_OK) {
        TraceLine(L"获取数据失败");
        return result;
    }
    // An item that would land outside the folder is refused before anything is touched.
    if (!JoinInsideFolder(folder_, relativePath_, targetPath_))
        return HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME);

    if (isFolder_) {
        TraceLine(L"DirBegin:", targetPath_);
        NoteCreatedFolders(targetPath_);
        EnsureFolder(targetPath_);
        return S_OK;
    }
    TraceLine(L"FileBegin:", targetPath_);
    return OpenTarget(stream);
}

HRESULT ArchiveExtractCallback::ReadPath(UInt32 index)
{
    PropValue prop;
    HRESULT result = reader_->GetProperty(index, kpidPath, &prop.value);
    if (result != S_OK)
        return result;
    if (prop.value.vt == VT_BSTR && prop.value.bstrVal && prop.value.bstrVal[0])
        relativePath_.assign(prop.value.bstrVal, SysStringLen(prop.value.bstrVal));
    else if (prop.value.vt == VT_EMPTY || prop.value.vt == VT_BSTR)
        relativePath_ = L"[Content]";
    else
        return E_FAIL;
    return S_OK;
}

HRESULT ArchiveExtractCallback::ReadProperties(UInt32 index)
{
    IInArchive* reader = reader_.get();
    HRESULT result = ReadAttributes(reader, index, hasAttributes_, attributes_);
    if (result == S_OK)
        result = ReadBool(reader, index, kpidIsDir, isFolder_);
    if (result == S_OK)
        result = ReadTime(reader, index, kpidMTime, hasModificationTime_, modificationTime_);
    if (result == S_OK)
        result = ReadTime(reader, index, kpidCTime, hasCreationTime_, creationTime_);
    if (result == S_OK)
        result = ReadTime(reader, index, kpidATime, hasAccessTime_, accessTime_);
    if (result == S_OK)
        result = ReadSize(reader, index, hasSize_, size_);
    return result;
}

HRESULT ArchiveExtractCallback::OpenTarget(ISequentialOutStream** stream)
{
    DWORD existing = GetFileAttributesW(targetPath_.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        // A read-only file from an earlier extraction is replaced like any
        // other; the shell's delete refuses it on some systems.
        if ((existing & FILE_ATTRIBUTE_READONLY) && !(existing & FILE_ATTRIBUTE_DIRECTORY))
            SetFileAttributesW(targetPath_.c_str(), existing & ~FILE_ATTRIBUTE_READONLY);
        if (!RemovePath(targetPath_)) {
            HRESULT failure = LastErrorResult();
            TraceLine(L"移除路径失败:", targetPath_);
            return failure;
        }
    }
    std::wstring parent = ParentFolder(targetPath_);
    NoteCreatedFolders(parent);
    if (!EnsureFolder(parent)) {
        TraceLine(L"创建目录失败:", parent);
        return kCreateFailed;
    }
    ComRef<IStream> file = OpenForWrite(targetPath_);
    if (!file) {
        HRESULT failure = LastErrorResult();
        TraceLine(L"创建文件失败:", targetPath_);
        targetPath_.clear();
        return failure;
    }
    written_.push_back(targetPath_);
    fileUnfinished_ = true;
    auto* wrapper = new (std::nothrow) OutStreamWrapper(file.get());
    if (!wrapper) {
        TraceLine(L"内存不足");
        return E_OUTOFMEMORY;
    }
    wrapper->AddRef();
    *stream = wrapper;
    return S_OK;
}

void ArchiveExtractCallback::NoteCreatedFolders(const std::wstring& folder)
{
    // Items come grouped by folder; a folder seen to exist needs no second look.
    if (folder == existingFolder_)
        return;
    existingFolder_ = folder;
    std::vector<std::wstring> missing;
    std::wstring path = folder;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    while (path.size() >= folder_.size() && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        missing.push_back(path);
        size_t last = path.find_last_of(L"\\/");
        if (last == std::wstring::npos)
            break;
        path.resize(last);
    }
    written_.insert(written_.end(), missing.rbegin(), missing.rend());
}

STDMETHODIMP ArchiveExtractCallback::PrepareOperation(Int32) noexcept
{
    return S_OK;
}

STDMETHODIMP ArchiveExtractCallback::SetOperationResult(Int32 result) noexcept
{
    if (targetPath_.empty()) {
        TraceLine(L"AllDone");
        return S_OK;
    }
    fileUnfinished_ = false;
    // Broken data must not stay behind looking like a good file.
    if (result != NArchive::NExtract::NOperationResult::kOK) {
        if (!isFolder_)
            DeleteFileW(targetPath_.c_str());
        return ItemFailure(result);
    }
    ApplyTimesAndAttributes();
    TraceLine(L"FileDone:", targetPath_);
    return S_OK;
}

void ArchiveExtractCallback::ApplyTimesAndAttributes()
{
    if (!hasCreationTime_ && !hasAccessTime_ && !hasModificationTime_ && !hasAttributes_)
        return;
    // Times and attributes go in one call on one handle: each further call
    // costs a round trip that outweighs a small file's data. Zero fields
    // are left as they are.
    FILE_BASIC_INFO info = {};
    if (hasCreationTime_)
        info.CreationTime = AsLargeInteger(creationTime_);
    if (hasAccessTime_)
        info.LastAccessTime = AsLargeInteger(accessTime_);
    if (hasModificationTime_)
        info.LastWriteTime = AsLargeInteger(modificationTime_);
    if (hasAttributes_)
        info.FileAttributes = attributes_ ? attributes_ : FILE_ATTRIBUTE_NORMAL;
    SkinUI::FileHandle file(CreateFileW(targetPath_.c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof(info)))
        return;
    file.reset();
    if (hasAttributes_)
        SetFileAttributesW(targetPath_.c_str(), attributes_);
}

void ArchiveExtractCallback::DiscardUnfinishedItem()
{
    if (fileUnfinished_)
        DeleteFileW(targetPath_.c_str());
    fileUnfinished_ = false;
}

STDMETHODIMP ArchiveExtractCallback::CryptoGetTextPassword(BSTR*) noexcept
{
    return E_ABORT;
}

STDMETHODIMP ArchiveExtractCallback::SetRatioInfo(const UInt64*, const UInt64*) noexcept
{
    return S_OK;
}

} // namespace SevenZip::intl
