#include "tests/support/delta_writer.h"

#include <windows.h>

#include <bcrypt.h>
#include <zstd.h>

namespace testing_support {

namespace {

void PutNumber(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool HasNewFile(uint8_t kind)
{
    return kind != DeltaWriter::kRemove;
}

bool HasPayload(uint8_t kind)
{
    return kind == DeltaWriter::kPatch || kind == DeltaWriter::kWhole;
}

DeltaWriter::Entry NewFile(uint8_t kind, const std::string& name, const std::string& bytes)
{
    DeltaWriter::Entry entry;
    entry.kind = kind;
    entry.name = name;
    entry.size = bytes.size();
    entry.sha256 = Sha256Of(bytes);
    return entry;
}

} // namespace

DeltaWriter& DeltaWriter::Keep(const std::string& name, const std::string& bytes)
{
    entries_.push_back(NewFile(kKeep, name, bytes));
    return *this;
}

DeltaWriter& DeltaWriter::Patch(const std::string& name, const std::string& base, const std::string& bytes)
{
    Entry entry = NewFile(kPatch, name, bytes);
    entry.baseSize = base.size();
    entry.baseSha256 = Sha256Of(base);
    entry.payload = ZstdPatch(base, bytes);
    entries_.push_back(entry);
    return *this;
}

DeltaWriter& DeltaWriter::Whole(const std::string& name, const std::string& bytes)
{
    Entry entry = NewFile(kWhole, name, bytes);
    entry.payload = ZstdFrame(bytes);
    entries_.push_back(entry);
    return *this;
}

DeltaWriter& DeltaWriter::Remove(const std::string& name)
{
    Entry entry;
    entry.kind = kRemove;
    entry.name = name;
    entries_.push_back(entry);
    return *this;
}

std::string DeltaWriter::Bytes() const
{
    std::string out("KDELTA1", 8);
    PutNumber(out, entries_.size(), 4);
    for (const Entry& entry : entries_) {
        PutNumber(out, entry.kind, 1);
        PutNumber(out, entry.name.size(), 2);
        out += entry.name;
        if (HasNewFile(entry.kind)) {
            PutNumber(out, entry.size, 8);
            out += entry.sha256;
        }
        if (entry.kind == kPatch) {
            PutNumber(out, entry.baseSize, 8);
            out += entry.baseSha256;
        }
        if (HasPayload(entry.kind))
            PutNumber(out, entry.payload.size(), 8);
    }
    for (const Entry& entry : entries_)
        out += entry.payload;
    return out;
}

std::string Sha256Of(const std::string& bytes)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32] = {};
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0)
        return std::string();
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
        BCryptHashData(hash, reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                       static_cast<ULONG>(bytes.size()), 0);
        BCryptFinishHash(hash, digest, sizeof(digest), 0);
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return std::string(reinterpret_cast<char*>(digest), sizeof(digest));
}

std::string ZstdPatch(const std::string& base, const std::string& target)
{
    ZSTD_CCtx* context = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, 3);
    // The window must reach back over the whole base, as --patch-from sets it.
    int windowLog = 10;
    while ((size_t(1) << windowLog) < base.size() + target.size() && windowLog < 30)
        ++windowLog;
    ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLog);
    ZSTD_CCtx_refPrefix(context, base.data(), base.size());
    std::string out(ZSTD_compressBound(target.size()), '\0');
    size_t size = ZSTD_compress2(context, &out[0], out.size(), target.data(), target.size());
    ZSTD_freeCCtx(context);
    out.resize(ZSTD_isError(size) ? 0 : size);
    return out;
}

std::string ZstdFrame(const std::string& bytes)
{
    std::string out(ZSTD_compressBound(bytes.size()), '\0');
    size_t size = ZSTD_compress(&out[0], out.size(), bytes.data(), bytes.size(), 3);
    out.resize(ZSTD_isError(size) ? 0 : size);
    return out;
}

std::string HexOf(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 15];
    }
    return text;
}

} // namespace testing_support
