#include "app/archive/seven_zip_library.h"

STDAPI CreateObject(const GUID* classId, const GUID* interfaceId, void** object);

// The library's process entry, which a loader would run when it maps 7z.dll.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace SevenZip::intl {

namespace {

// {23170F69-40C1-278A-1000-000110XX0000}: the library's published handler ids.
GUID HandlerClassId(ArchiveFormat format)
{
    unsigned char id = 0x07;
    switch (format) {
    case FormatZip: id = 0x01; break;
    case FormatCab: id = 0x08; break;
    case FormatLzma: id = 0x0A; break;
    case FormatLzma86: id = 0x0B; break;
    default: break;
    }
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, id, 0x00, 0x00}};
}

// Linked statically, the formats and codecs register themselves from static
// constructors (kept by the whole-archive link); what remains of a DLL load
// is the library's process-attach step, run here once.
void RegisterLibrary()
{
    static const BOOL attached = DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    (void)attached;
}

// The 7z reader decodes LZMA2 with a thread per block by default, each with
// its own buffers: a 100 MB package then took over 200 MB. One thread keeps
// an upgrade within a few tens of MB; readers without the property ignore it.
void UseOneDecodingThread(IInArchive* reader)
{
    ComRef<ISetProperties> properties;
    if (reader->QueryInterface(IID_ISetProperties, reinterpret_cast<void**>(properties.put())) != S_OK)
        return;
    const wchar_t* names[] = {L"mt"};
    PROPVARIANT values[1] = {};
    values[0].vt = VT_UI4;
    values[0].ulVal = 1;
    properties->SetProperties(names, values, 1);
}

} // namespace

ComRef<IInArchive> OpenReader(ArchiveFormat format)
{
    RegisterLibrary();
    GUID classId = HandlerClassId(format);
    ComRef<IInArchive> reader;
    if (CreateObject(&classId, &IID_IInArchive, reinterpret_cast<void**>(reader.put())) != S_OK) {
        reader.reset();
        return reader;
    }
    UseOneDecodingThread(reader.get());
    return reader;
}

} // namespace SevenZip::intl
