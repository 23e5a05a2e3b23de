#include "app/delta_manifest.h"

#include "app/safe_path.h"
#include "app/version_answer.h"

#include <string.h>

#include <set>

namespace {

const char kMagic[8] = {'K', 'D', 'E', 'L', 'T', 'A', '1', '\0'};
// More entries than any release has files; bounds what a hostile count costs.
constexpr uint32_t kMaxEntries = 100000;
constexpr size_t kMaxNameBytes = 1024;

// Sequential reads of the file from its start, in pieces.
class ManifestReader {
public:
    explicit ManifestReader(HANDLE file) : file_(file) {}

    bool Bytes(void* target, size_t count)
    {
        auto* out = static_cast<unsigned char*>(target);
        while (count > 0) {
            if (next_ == end_ && !Fill())
                return false;
            size_t piece = count < end_ - next_ ? count : end_ - next_;
            memcpy(out, buffer_ + next_, piece);
            next_ += piece;
            out += piece;
            count -= piece;
            consumed_ += piece;
        }
        return true;
    }

    template <typename T>
    bool Number(T& value)
    {
        unsigned char bytes[sizeof(T)];
        if (!Bytes(bytes, sizeof(T)))
            return false;
        value = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            value = static_cast<T>((value << 8) | bytes[i]);
        return true;
    }

    uint64_t Consumed() const { return consumed_; }

private:
    bool Fill()
    {
        DWORD read = 0;
        if (!ReadFile(file_, buffer_, sizeof(buffer_), &read, nullptr) || read == 0)
            return false;
        next_ = 0;
        end_ = read;
        return true;
    }

    HANDLE file_;
    unsigned char buffer_[16384];
    size_t next_ = 0;
    size_t end_ = 0;
    uint64_t consumed_ = 0;
};

bool KnownKind(uint8_t kind)
{
    return kind >= static_cast<uint8_t>(DeltaEntryKind::Keep)
           && kind <= static_cast<uint8_t>(DeltaEntryKind::Remove);
}

bool HasNewFile(DeltaEntryKind kind)
{
    return kind != DeltaEntryKind::Remove;
}

bool HasPayload(DeltaEntryKind kind)
{
    return kind == DeltaEntryKind::Patch || kind == DeltaEntryKind::Whole;
}

// The name as a path below the folder: "/" becomes "\". Empty when the
// bytes are not UTF-8 or the name could leave the folder.
std::wstring InstalledName(const std::string& bytes)
{
    std::wstring name = Utf8ToWide(bytes);
    for (wchar_t& c : name) {
        if (c == L'/')
            c = L'\\';
    }
    if (name.empty() || name.back() == L'\\' || !IsSafeRelativeName(name))
        return std::wstring();
    return name;
}

DeltaManifestResult ReadEntry(ManifestReader& reader, DeltaEntry& entry)
{
    uint8_t kind = 0;
    uint16_t nameLength = 0;
    if (!reader.Number(kind) || !reader.Number(nameLength))
        return DeltaManifestResult::Malformed;
    if (!KnownKind(kind) || nameLength == 0 || nameLength > kMaxNameBytes)
        return DeltaManifestResult::Malformed;
    entry.kind = static_cast<DeltaEntryKind>(kind);
    std::string name(nameLength, '\0');
    if (!reader.Bytes(&name[0], nameLength))
        return DeltaManifestResult::Malformed;
    // The name decides where bytes land: nothing else counts until it is safe.
    entry.name = InstalledName(name);
    if (entry.name.empty())
        return DeltaManifestResult::UnsafeName;
    if (HasNewFile(entry.kind)
        && (!reader.Number(entry.size) || !reader.Bytes(entry.sha256, kSha256Bytes)))
        return DeltaManifestResult::Malformed;
    if (entry.kind == DeltaEntryKind::Patch
        && (!reader.Number(entry.baseSize) || !reader.Bytes(entry.baseSha256, kSha256Bytes)))
        return DeltaManifestResult::Malformed;
    if (HasPayload(entry.kind) && !reader.Number(entry.payloadSize))
        return DeltaManifestResult::Malformed;
    if (entry.kind == DeltaEntryKind::Patch
        && (entry.size > kMaxDeltaFileBytes || entry.baseSize > kMaxDeltaFileBytes))
        return DeltaManifestResult::TooLarge;
    return DeltaManifestResult::Ok;
}

// Each name once, compared as Windows compares names (case folded).
bool NamesDistinct(const std::vector<DeltaEntry>& entries)
{
    std::set<std::wstring> seen;
    for (const DeltaEntry& entry : entries) {
        std::wstring folded = entry.name;
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
        if (!seen.insert(folded).second)
            return false;
    }
    return true;
}

} // namespace

DeltaManifestResult ReadDeltaManifest(HANDLE file, std::vector<DeltaEntry>& entries)
{
    entries.clear();
    LARGE_INTEGER size = {};
    LARGE_INTEGER start = {};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return DeltaManifestResult::Unreadable;
    uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    if (fileSize > kMaxDeltaBytes)
        return DeltaManifestResult::TooLarge;
    ManifestReader reader(file);
    char magic[sizeof(kMagic)] = {};
    uint32_t count = 0;
    if (!reader.Bytes(magic, sizeof(magic)) || memcmp(magic, kMagic, sizeof(kMagic)) != 0
        || !reader.Number(count) || count > kMaxEntries)
        return DeltaManifestResult::Malformed;
    std::vector<DeltaEntry> read;
    for (uint32_t i = 0; i < count; ++i) {
        DeltaEntry entry;
        DeltaManifestResult result = ReadEntry(reader, entry);
        if (result != DeltaManifestResult::Ok)
            return result;
        read.push_back(std::move(entry));
    }
    uint64_t offset = reader.Consumed();
    for (DeltaEntry& entry : read) {
        if (entry.payloadSize > fileSize - offset)
            return DeltaManifestResult::Malformed;
        entry.payloadOffset = offset;
        offset += entry.payloadSize;
    }
    if (offset != fileSize || !NamesDistinct(read))
        return DeltaManifestResult::Malformed;
    entries = std::move(read);
    return DeltaManifestResult::Ok;
}
