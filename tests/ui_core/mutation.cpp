#include "tests/ui_core/mutation.h"

#include <stdint.h>
#include <string.h>

namespace robustness {

GuardedText::GuardedText(const std::string& narrow) : block_(Widen(narrow)) {}

std::string GuardedText::Widen(const std::string& narrow)
{
    std::string bytes;
    for (char ch : narrow) {
        bytes.push_back(ch);
        bytes.push_back(0);
    }
    return bytes + std::string(2, '\0');
}

namespace {

const char* const kSpecials[] = {"<", ">", "/", "\"", "'", "&", "=", "!", "?", "-", "->", "?>", "</", "/>",
    "&amp;", "&lt", " ", "\t", "\r\n", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xE5\x8D\x87", "\xC3",
    "\xCC\x81", "", "<!--", "<?", "<A>", "</A>", "x=\"1\""};

} // namespace

std::string Mutate(const std::string& seed, std::mt19937& random)
{
    std::string bytes = seed;
    int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        size_t at = bytes.empty() ? 0 : random() % (bytes.size() + 1);
        switch (random() % 7) {
        case 0:
            if (at < bytes.size())
                bytes[at] = static_cast<char>(random());
            break;
        case 1:
            if (at < bytes.size())
                bytes[at] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 2: {
            const char* special = kSpecials[random() % (sizeof(kSpecials) / sizeof(kSpecials[0]))];
            bytes.insert(at, special, *special ? strlen(special) : 1);
            break;
        }
        case 3:
            bytes.erase(at, random() % 16);
            break;
        case 4:
            if (at < bytes.size())
                bytes.insert(at, bytes.substr(at, random() % 64));
            break;
        case 5:
            bytes.resize(at);
            break;
        default:
            if (at < bytes.size()) {
                // Numbers that reach far: sizes, offsets, counts.
                uint32_t value = random() % 3 ? 0xFFFFFFFFu - (random() % 300) : random() % 70000;
                for (int k = 0; k < 4 && at + k < bytes.size(); ++k)
                    bytes[at + k] = static_cast<char>(value >> (8 * k));
            }
            break;
        }
    }
    return bytes;
}

} // namespace robustness
