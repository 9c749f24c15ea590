#include "storage/IniEncoding.h"

#include "platform/TextEncoding.h"

#include <cstdint>

namespace {

// NUL cannot stand in a settings value; it is dropped wherever it appears.
void AppendUtf8NoNul(std::string& out, char32_t cp)
{
    if (cp != 0)
        AppendUtf8(out, cp);
}

void AppendCp1252(std::string& out, std::string_view bytes)
{
    for (char c : Windows1252ToUtf8(bytes)) {
        if (c != '\0')
            out += c;
    }
}

bool IsUtf8(std::string_view text)
{
    return IsValidUtf8(text);
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
                AppendUtf8NoNul(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            u = 0xFFFD;  // lone surrogate
        AppendUtf8NoNul(out, u);
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
