#include "platform/TextEncoding.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[pos]; rejects overlong forms, surrogates and
// values past U+10FFFF. On failure consumes one byte and returns false.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& out)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1; cp = lead & 0x1F; minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2; cp = lead & 0x0F; minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3; cp = lead & 0x07; minimum = 0x10000;
    } else {
        ++pos;
        return false;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return false;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += extra + 1;
    out = cp;
    return true;
}

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}


std::string Windows1252ToUtf8(std::string_view bytes)
{
    // 0x80-0x9F; the five unassigned bytes map to the C1 controls as the
    // Windows converter does. The rest of the upper half is Latin-1.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : b);
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        AppendUtf16(out, DecodeUtf8(text, pos, cp) ? cp : kReplacement);
    }
    return out;
}

std::u32string Utf8ToUtf32(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        out += DecodeUtf8(text, pos, cp) ? cp : kReplacement;
    }
    return out;
}

std::string SanitizeUtf8(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        AppendUtf8(out, DecodeUtf8(text, pos, cp) ? cp : kReplacement);
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    return Utf16Length(text).has_value();
}

std::optional<std::size_t> Utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        if (!DecodeUtf8(utf8, pos, cp))
            return std::nullopt;
        units += cp >= 0x10000 ? 2 : 1;
    }
    return units;
}
