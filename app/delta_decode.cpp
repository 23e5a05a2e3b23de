#include "app/delta_decode.h"

#include "app/delta_manifest.h"
#include "app/file_view.h"
#include "ui/core/unique_handle.h"

#include <zstd.h>

#include <vector>

namespace {

void FreeDecoder(ZSTD_DCtx* decoder)
{
    ZSTD_freeDCtx(decoder);
}

using Decoder = SkinUI::UniqueHandle<ZSTD_DCtx*, &FreeDecoder>;

// A whole file's frame may not ask for a larger window than this; the
// publisher's compression levels stay far below it.
constexpr int kWholeWindowLogMax = 27;
constexpr size_t kStreamPiece = 1 << 17;
// The longest frame header the format allows.
constexpr size_t kFrameHeaderMax = 18;

// Exactly one frame, declaring exactly the size the manifest gives.
bool OneFrameOfSize(const unsigned char* frame, size_t frameSize, uint64_t size)
{
    if (ZSTD_findFrameCompressedSize(frame, frameSize) != frameSize)
        return false;
    unsigned long long declared = ZSTD_getFrameContentSize(frame, frameSize);
    return declared != ZSTD_CONTENTSIZE_UNKNOWN && declared != ZSTD_CONTENTSIZE_ERROR
           && declared == size;
}

bool FitsInView(uint64_t size)
{
    return size <= kMaxDeltaFileBytes && size <= SIZE_MAX;
}

bool WriteAll(HANDLE file, const void* bytes, size_t count)
{
    DWORD written = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

bool ReadAt(HANDLE file, uint64_t offset, void* bytes, size_t count)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file, bytes, static_cast<DWORD>(count), &read, &at) && read == count;
}

} // namespace

bool ApplyPatch(HANDLE base, uint64_t baseSize, HANDLE delta, uint64_t payloadOffset,
                uint64_t payloadSize, const std::wstring& target, uint64_t size)
{
    if (!FitsInView(baseSize) || !FitsInView(size) || !FitsInView(payloadSize))
        return false;
    FileView patch;
    FileView reference;
    if (!patch.Open(delta, payloadOffset, static_cast<size_t>(payloadSize))
        || !reference.Open(base, 0, static_cast<size_t>(baseSize))
        || !OneFrameOfSize(patch.Data(), patch.Size(), size))
        return false;
    FileWriteView result;
    if (!result.Create(target, static_cast<size_t>(size)))
        return false;
    Decoder decoder(ZSTD_createDCtx());
    if (!decoder || ZSTD_isError(ZSTD_DCtx_refPrefix(decoder.get(), reference.Data(), reference.Size())))
        return false;
    // An empty file has no view to write to; its frame still has to decode.
    unsigned char empty = 0;
    unsigned char* out = size ? result.Data() : &empty;
    size_t decoded = ZSTD_decompressDCtx(decoder.get(), out, static_cast<size_t>(size),
                                         patch.Data(), patch.Size());
    return !ZSTD_isError(decoded) && decoded == size && result.Close();
}

bool DecodeWhole(HANDLE delta, uint64_t payloadOffset, uint64_t payloadSize,
                 const std::wstring& target, uint64_t size)
{
    unsigned char header[kFrameHeaderMax] = {};
    size_t headerSize = payloadSize < sizeof(header) ? static_cast<size_t>(payloadSize) : sizeof(header);
    if (!ReadAt(delta, payloadOffset, header, headerSize))
        return false;
    unsigned long long declared = ZSTD_getFrameContentSize(header, headerSize);
    if (declared == ZSTD_CONTENTSIZE_UNKNOWN || declared == ZSTD_CONTENTSIZE_ERROR || declared != size)
        return false;
    SkinUI::FileHandle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    Decoder decoder(ZSTD_createDCtx());
    if (!out || !decoder
        || ZSTD_isError(ZSTD_DCtx_setParameter(decoder.get(), ZSTD_d_windowLogMax, kWholeWindowLogMax)))
        return false;
    std::vector<unsigned char> in(kStreamPiece);
    std::vector<unsigned char> piece(ZSTD_DStreamOutSize());
    uint64_t consumed = 0;
    uint64_t produced = 0;
    size_t pending = 1;
    while (consumed < payloadSize) {
        size_t count = payloadSize - consumed < in.size() ? static_cast<size_t>(payloadSize - consumed) : in.size();
        if (!ReadAt(delta, payloadOffset + consumed, in.data(), count))
            return false;
        consumed += count;
        ZSTD_inBuffer input = {in.data(), count, 0};
        while (input.pos < input.size) {
            // A frame that ended before its payload did is not one frame.
            if (pending == 0)
                return false;
            ZSTD_outBuffer output = {piece.data(), piece.size(), 0};
            pending = ZSTD_decompressStream(decoder.get(), &output, &input);
            if (ZSTD_isError(pending) || output.pos > size - produced
                || !WriteAll(out.get(), piece.data(), output.pos))
                return false;
            produced += output.pos;
        }
    }
    // Output still held inside the decoder after the last input.
    while (pending != 0) {
        ZSTD_inBuffer input = {nullptr, 0, 0};
        ZSTD_outBuffer output = {piece.data(), piece.size(), 0};
        pending = ZSTD_decompressStream(decoder.get(), &output, &input);
        if (ZSTD_isError(pending) || output.pos == 0 || output.pos > size - produced
            || !WriteAll(out.get(), piece.data(), output.pos))
            return false;
        produced += output.pos;
    }
    return produced == size;
}
