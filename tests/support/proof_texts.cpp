#include "tests/support/proof_texts.h"

#include <algorithm>

namespace testing_support {

std::string ToHex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string FromHex(std::string_view hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

std::string ToBase64(std::string_view bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t have = std::min<size_t>(3, bytes.size() - i);
        unsigned int group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < have ? static_cast<unsigned char>(bytes[i + k]) : 0);
        for (size_t k = 0; k < 4; ++k)
            text += k <= have ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

std::string DerElement(char tag, const std::string& content)
{
    return std::string(1, tag) + static_cast<char>(content.size()) + content;
}

std::string MinimalDerInteger(std::string value)
{
    value.erase(0, std::min(value.find_first_not_of('\0'), value.size() - 1));
    if (static_cast<unsigned char>(value[0]) & 0x80)
        value.insert(0, 1, '\0');
    return value;
}

std::string DerSignature(const std::string& r, const std::string& s)
{
    return DerElement(0x30, DerElement(0x02, r) + DerElement(0x02, s));
}

} // namespace testing_support
