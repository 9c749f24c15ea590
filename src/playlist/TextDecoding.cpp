#include "playlist/TextDecoding.h"

#include "platform/TextEncoding.h"

std::string DecodePlaylistText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u);  // lone surrogates turn into U+FFFD there
    }
    return out;
}
