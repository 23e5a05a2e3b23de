#include "app/package_proof.h"

#include <string.h>

namespace {

constexpr size_t kIntegerBytes = kRawSignatureBytes / 2;
constexpr unsigned char kSequenceTag = 0x30;
constexpr unsigned char kIntegerTag = 0x02;

unsigned char ByteAt(std::string_view bytes, size_t index)
{
    return static_cast<unsigned char>(bytes[index]);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Reads DER elements front to back; a length may not reach past the input.
class DerReader {
public:
    explicit DerReader(std::string_view bytes) : rest_(bytes) {}

    bool AtEnd() const { return rest_.empty(); }

    bool ReadElement(unsigned char tag, std::string_view& content)
    {
        if (rest_.empty() || ByteAt(rest_, 0) != tag)
            return false;
        rest_.remove_prefix(1);
        size_t length = 0;
        if (!ReadLength(length))
            return false;
        content = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return true;
    }

private:
    // Every length in a P-256 signature is at most 70, so DER allows only
    // the one-byte form for it; anything from 0x80 on is refused.
    bool ReadLength(size_t& length)
    {
        if (rest_.empty() || ByteAt(rest_, 0) >= 0x80)
            return false;
        length = ByteAt(rest_, 0);
        rest_.remove_prefix(1);
        return length <= rest_.size();
    }

    std::string_view rest_;
};

// A positive INTEGER's content, minimally encoded, into 32 big-endian bytes.
bool IntegerToFixed(std::string_view content, unsigned char* out)
{
    if (content.empty() || (ByteAt(content, 0) & 0x80))
        return false;
    if (content.size() > 1 && ByteAt(content, 0) == 0) {
        if (!(ByteAt(content, 1) & 0x80))
            return false;
        content.remove_prefix(1);
    }
    if (content.size() > kIntegerBytes)
        return false;
    if (content.size() == 1 && ByteAt(content, 0) == 0)
        return false;
    memset(out, 0, kIntegerBytes);
    memcpy(out + kIntegerBytes - content.size(), content.data(), content.size());
    return true;
}

} // namespace

bool DecodeSha256Hex(std::string_view text, unsigned char (&digest)[kSha256Bytes])
{
    if (text.size() != 2 * kSha256Bytes)
        return false;
    for (size_t i = 0; i < kSha256Bytes; ++i) {
        int high = HexValue(text[2 * i]);
        int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        digest[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return true;
}

bool DecodeBase64(std::string_view text, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    if (text.empty() || text.size() % 4 != 0)
        return false;
    size_t padding = text[text.size() - 1] != '=' ? 0 : text[text.size() - 2] != '=' ? 1 : 2;
    size_t digits = text.size() - padding;
    unsigned int bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i < digits; ++i) {
        int value = Base64Value(text[i]);
        if (value < 0)
            return false;
        bits = (bits << 6 | static_cast<unsigned int>(value)) & 0xFFFFFF;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<unsigned char>(bits >> bitCount));
        }
    }
    // The bits left over from the last digit belong to no byte; only zeros
    // give the single spelling.
    return (bits & ((1u << bitCount) - 1)) == 0;
}

bool DerSignatureToRaw(std::string_view der, unsigned char (&raw)[kRawSignatureBytes])
{
    DerReader outer(der);
    std::string_view sequence;
    if (!outer.ReadElement(kSequenceTag, sequence) || !outer.AtEnd())
        return false;
    DerReader inner(sequence);
    std::string_view r;
    std::string_view s;
    if (!inner.ReadElement(kIntegerTag, r) || !inner.ReadElement(kIntegerTag, s) || !inner.AtEnd())
        return false;
    return IntegerToFixed(r, raw) && IntegerToFixed(s, raw + kIntegerBytes);
}
