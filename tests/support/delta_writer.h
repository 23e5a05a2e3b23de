#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace testing_support {

// Writes deltas in Kestrel's format for the tests, with libzstd's encoder.
// Every field of an entry can be changed before Bytes(), so a test can
// make the manifest lie in exactly one place.
class DeltaWriter {
public:
    struct Entry {
        uint8_t kind = 1;
        std::string name;  // UTF-8, "/" between folders
        uint64_t size = 0;
        std::string sha256;  // 32 bytes
        uint64_t baseSize = 0;
        std::string baseSha256;
        std::string payload;
    };

    enum : uint8_t { kKeep = 1, kPatch = 2, kWhole = 3, kRemove = 4 };

    DeltaWriter& Keep(const std::string& name, const std::string& bytes);
    DeltaWriter& Patch(const std::string& name, const std::string& base, const std::string& bytes);
    DeltaWriter& Whole(const std::string& name, const std::string& bytes);
    DeltaWriter& Remove(const std::string& name);

    std::vector<Entry>& Entries() { return entries_; }
    Entry& Last() { return entries_.back(); }
    std::string Bytes() const;

private:
    std::vector<Entry> entries_;
};

std::string Sha256Of(const std::string& bytes);
// One zstd frame of target made against base as reference prefix.
std::string ZstdPatch(const std::string& base, const std::string& target);
std::string ZstdFrame(const std::string& bytes);
// Lowercase hexadecimal of bytes.
std::string HexOf(const std::string& bytes);

} // namespace testing_support
