#include "storage/IniEncoding.h"

#include <cstdint>

namespace {

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp == 0)
        return;
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

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls,
// as the Windows converter does.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendCp1252(std::string& out, std::string_view bytes)
{
    for (unsigned char b : bytes) {
        if (b >= 0x80 && b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
}

// Strict: no overlong forms, surrogates or code points above U+10FFFF.
bool IsUtf8(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

void AppendUtf8Line(std::string& out, std::string_view line)
{
    if (IsUtf8(line)) {
        for (char c : line)
            if (c != '\0')
                out += c;
    } else {
        AppendCp1252(out, line);
    }
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;  // an odd last byte is dropped
    auto unitAt = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 0; i < units; ++i) {
        uint32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const uint32_t lo = unitAt(i + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            u = 0xFFFD;  // lone surrogate
        AppendUtf8(out, u);
    }
    return out;
}

std::string WithoutLeadingMarks(std::string text)
{
    size_t n = 0;
    while (text.compare(n, 3, "\xEF\xBB\xBF") == 0)
        n += 3;
    return text.erase(0, n);
}

}  // namespace

std::string DecodeIniText(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return WithoutLeadingMarks(DecodeUtf16(bytes.substr(2), false));
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return WithoutLeadingMarks(DecodeUtf16(bytes.substr(2), true));
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);

    // Line by line, so that one line typed in another editor does not turn
    // the rest of the file into mojibake.
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        const size_t len = nl == std::string_view::npos ? bytes.size() : nl + 1;
        AppendUtf8Line(out, bytes.substr(0, len));
        bytes.remove_prefix(len);
    }
    return WithoutLeadingMarks(std::move(out));
}

std::string TruncateToBuffer(const std::string& utf8, size_t bufferChars)
{
    if (bufferChars == 0)
        return {};
    const size_t maxUnits = bufferChars - 1;
    size_t units = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        size_t len = 1;
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        const size_t need = len == 4 ? 2 : 1;
        if (units + need > maxUnits)
            return utf8.substr(0, i);
        units += need;
        i += len;
    }
    return utf8;
}
