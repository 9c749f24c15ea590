#include "playback/Id3v2.h"

#include "platform/TextEncoding.h"

namespace {

const unsigned char* Bytes(std::string_view s, std::size_t offset = 0)
{
    return reinterpret_cast<const unsigned char*>(s.data()) + offset;
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Utf16ToText(std::string_view bytes, bool bigEndian)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const char16_t unit = bigEndian ? static_cast<char16_t>((a << 8) | b) : static_cast<char16_t>((b << 8) | a);
        if (unit == 0)
            break;
        units += unit;
    }
    return Utf16ToUtf8(units);
}

// Offset just past the zero that ends the description starting at `from`
// (one zero byte for the 8-bit encodings, one zero unit for UTF-16), or npos.
std::size_t SkipTerminated(std::string_view data, std::size_t from, int encoding)
{
    if (encoding == 1 || encoding == 2) {
        for (std::size_t i = from; i + 1 < data.size(); i += 2) {
            if (data[i] == '\0' && data[i + 1] == '\0')
                return i + 2;
        }
        return std::string_view::npos;
    }
    const std::size_t zero = data.find('\0', from);
    return zero == std::string_view::npos ? zero : zero + 1;
}

}  // namespace

std::uint32_t ReadBigEndian32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::uint32_t ReadSynchsafe32(const unsigned char* p)
{
    return (std::uint32_t{p[0] & 0x7Fu} << 21) | (std::uint32_t{p[1] & 0x7Fu} << 14) |
           (std::uint32_t{p[2] & 0x7Fu} << 7) | (p[3] & 0x7Fu);
}

bool LocateId3v2(std::string_view tag, Id3v2Layout* layout)
{
    *layout = Id3v2Layout{};
    if (tag.size() < 10 || tag.substr(0, 3) != "ID3")
        return false;
    layout->version = Bytes(tag)[3];
    const std::size_t declared = std::size_t{10} + ReadSynchsafe32(Bytes(tag, 6));
    layout->end = declared < tag.size() ? declared : tag.size();
    layout->framesStart = 10;
    if (Bytes(tag)[5] & 0x40) {
        // Version 2.4 counts the whole extended header in its synchsafe size;
        // 2.3 stores a plain size that leaves out its own 4 bytes.
        std::size_t extended = 0;
        if (layout->end >= 14)
            extended = layout->version >= 4 ? ReadSynchsafe32(Bytes(tag, 10)) : std::size_t{ReadBigEndian32(Bytes(tag, 10))} + 4;
        if (extended < 4 || extended > layout->end - 10)
            layout->framesStart = layout->end;  // malformed: no frames to walk
        else
            layout->framesStart = 10 + extended;
    }
    return true;
}

bool NextId3v2Frame(std::string_view area, int version, std::size_t* at, Id3v2Frame* frame)
{
    if (*at > area.size() || area.size() - *at < 10)
        return false;
    const unsigned char* h = Bytes(area, *at);
    if (h[0] == 0)
        return false;
    const std::size_t size = version >= 4 ? ReadSynchsafe32(h + 4) : ReadBigEndian32(h + 4);
    if (size == 0 || size > area.size() - *at - 10)
        return false;
    frame->id = area.substr(*at, 4);
    frame->data = area.substr(*at + 10, size);
    *at += 10 + size;
    return true;
}

bool DecodeId3v2Text(int encoding, std::string_view bytes, std::string* text)
{
    text->clear();
    switch (encoding) {
    case 0:
    case 3: {
        const std::size_t zero = bytes.find('\0');
        if (zero != std::string_view::npos)
            bytes = bytes.substr(0, zero);
        *text = encoding == 0 ? Latin1ToUtf8(bytes) : SanitizeUtf8(bytes);
        return true;
    }
    case 1:
    case 2: {
        if (bytes.size() < 2)
            return true;
        bool bigEndian = encoding == 2;
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFE && b1 == 0xFF) {
            bigEndian = true;
            bytes.remove_prefix(2);
        } else if (b0 == 0xFF && b1 == 0xFE) {
            bytes.remove_prefix(2);
        }
        *text = Utf16ToText(bytes, bigEndian);
        return true;
    }
    default:
        return false;
    }
}

std::string Id3v2FrameText(std::string_view tag, std::string_view frameId)
{
    Id3v2Layout layout;
    if (frameId.size() != 4 || !LocateId3v2(tag, &layout))
        return {};
    const std::string_view area = tag.substr(0, layout.end);
    std::size_t at = layout.framesStart;
    Id3v2Frame frame;
    while (NextId3v2Frame(area, layout.version, &at, &frame)) {
        if (frame.id != frameId)
            continue;
        const int encoding = static_cast<unsigned char>(frame.data[0]);
        std::size_t textStart = 1;
        if (frameId == "COMM") {
            // Language (3 bytes), then a short description ending in a zero.
            textStart = frame.data.size() >= 4 ? SkipTerminated(frame.data, 4, encoding) : std::string_view::npos;
            if (textStart == std::string_view::npos)
                return {};
        }
        std::string text;
        DecodeId3v2Text(encoding, frame.data.substr(textStart), &text);
        return text;
    }
    return {};
}
